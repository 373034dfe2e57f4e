#include "report/References.h"

namespace vortel {

// Plain ASCII like the rest of the report, so "Sidak" goes without its diacritic. Each citation
// starts flush left and indents its continuation lines by three blanks.
void PrintMainReferences(TextWriter& out) {
    out.EndLine();
    out.Line("Main references:");
    out.Line("Efron, B. 1979.");
    out.Line("   Bootstrap methods: another look at the jackknife.");
    out.Line("   The Annals of Statistics 7(1): 1-26.");
    out.EndLine();
    out.Line("Efron, B. and R. J. Tibshirani. 1993.");
    out.Line("   An introduction to the bootstrap.");
    out.Line("   Monographs on Statistics and Applied Probability 57.");
    out.Line("   Chapman & Hall, New York.");
    out.EndLine();
}

void PrintReferences(TextWriter& out) {
    out.Line("References:");
    out.Line("DiCiccio, T. J. and B. Efron. 1996.");
    out.Line("   Bootstrap confidence intervals.");
    out.Line("   Statistical Science 11(3): 189-228.");
    out.Line("Efron, B. 1987.");
    out.Line("   Better bootstrap confidence intervals.");
    out.Line("   Journal of the American Statistical Association");
    out.Line("   82(397): 171-185.");
    out.Line("Sidak, Z. 1967.");
    out.Line("   Rectangular confidence regions for the means of multivariate");
    out.Line("   normal distributions. Journal of the American Statistical");
    out.Line("   Association 62(318): 626-633.");
    out.Line("Westfall, P. H. and S. S. Young. 1993.");
    out.Line("   Resampling-based multiple testing:");
    out.Line("   examples and methods for p-value adjustment.");
    out.Line("   John Wiley & Sons,");
    out.Line("   New York.");
    out.EndLine();
}

}  // namespace vortel
