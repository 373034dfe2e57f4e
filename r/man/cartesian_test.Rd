\name{cartesian_test}
\alias{cartesian_test}
\alias{vortel_test}
\alias{print.vortel_test}
\alias{plot.vortel_test}
\alias{as.data.frame.vortel_test}
\title{Cartesian paired test of bootstrap values}
\description{
Compares 2 to 20 treatments on one parameter from their bootstrap values: for
every pair all \eqn{B_i \times B_j}{B_i x B_j} differences of the two samples,
with t and percentile intervals, the P-value, the verdicts at 5 \% and at the
Sidak level, and the letter-marking table. The numbers are those of the
VORTEL desktop program's report and CSV tables, digit for digit.
}
\usage{
cartesian_test(x, n = NULL, original = NULL, parameter = NULL,
               transform = c("none", "arcsine", "logit"), reversed = FALSE)

\method{print}{vortel_test}(x, digits = getOption("digits"), ...)
\method{plot}{vortel_test}(x, which = c("means", "differences"), ...)
\method{as.data.frame}{vortel_test}(x, ...)
}
\arguments{
  \item{x}{A named list of numeric vectors, the bootstrap values of each
    treatment in entry order; or a long data frame with the columns
    \code{treatment} and \code{value} (one row per bootstrap value) and
    optionally \code{n}, \code{original} and \code{parameter}. For the methods,
    a \code{vortel_test}.}
  \item{n}{The sample size of each treatment's original data (the F test
    needs it): a named numeric vector or list, or one number for all. Taken
    from the data frame's \code{n} column when not given.}
  \item{original}{The estimate from each treatment's original data, given as
    \code{n} is.}
  \item{parameter}{The parameter's name, as the report and its file name
    show it. By default the data frame's \code{parameter} column, else
    \code{"value"}.}
  \item{transform}{The transformation applied to every value before the test.}
  \item{reversed}{\code{TRUE} orders the treatments by increasing bootstrap
    means rather than decreasing.}
  \item{digits}{Significant digits to print.}
  \item{which}{\code{"means"}: each treatment's bootstrap mean with a 95 \%
    normal interval and its letters; \code{"differences"}: each pair's mean
    difference with its t interval (bars) and percentile limits (ticks).}
  \item{...}{Passed to \code{plot}; ignored by the other methods.}
}
\details{
The test runs in compiled code. An interrupt (Ctrl+C, or Esc in an IDE)
stops it within a fraction of a second and raises R's interrupt.

Bad input stops with an error of class \code{vortel_error} naming the
treatment and the value: a missing or non-numeric value (NA, NaN), an
infinite one, fewer than 2 values, fewer than 2 or more than 20 treatments,
two treatments of one name, n missing or not a whole number above 0, and a
value outside the transformation's domain (0 to 1 for the arcsine, between 0
and 1 for the logit).
}
\value{
An object of class \code{vortel_test}: a list of
  \item{parameter}{The parameter's name.}
  \item{treatments}{A data frame, one row per treatment in report order
    (decreasing bootstrap means, increasing with \code{reversed}), with the
    columns of the treatments CSV table: \code{treatment}, \code{original},
    \code{bootstrap_mean}, \code{variance}, \code{SE}, \code{n}, \code{B} and
    \code{letters} (treatments sharing a letter do not differ at 5 \%).}
  \item{pairs}{A data frame, one row per pair in report order, with the
    columns of the pairs CSV table: the pair taken as the difference
    \code{treatment_a} minus \code{treatment_b}, \code{B_a}, \code{B_b},
    \code{C}, \code{mean_difference}, \code{variance}, \code{SE}, the t and
    percentile limits, the counts \code{insignificant} and
    \code{significant}, \code{P}, the four verdicts and \code{sidak_alpha}.}
  \item{F}{The F value of the treatments' means.}
  \item{df}{Its degrees of freedom, \code{between} and \code{within}.}
  \item{sidak}{The Sidak significance level of the pairs.}
  \item{input}{The treatments as given, for \code{\link{write_report}}.}
\code{as.data.frame} gives \code{pairs}.
}
\seealso{\code{\link{write_report}}}
\examples{
long <- read.csv(system.file("extdata", "treatments-long.csv", package = "vortel"))
result <- cartesian_test(long[long$treatment \%in\% c("Tomato", "Pepper"), ])
result
head(as.data.frame(result))

# Bootstrap values made in R, as a named list.
set.seed(1)
values <- list(A = rnorm(500, 0.30, 0.02), B = rnorm(400, 0.25, 0.03),
               C = rnorm(500, 0.29, 0.02))
test <- cartesian_test(values, n = c(A = 40, B = 35, C = 41),
                       original = c(A = 0.30, B = 0.25, C = 0.29), parameter = "r")
test$treatments
plot(test, which = "differences")
}
