\name{write_report}
\alias{write_report}
\title{Write the report of a Cartesian paired test}
\description{
Writes the report of a test, and when asked its two CSV tables, with the bytes
and file names the VORTEL desktop program gives them.
}
\usage{
write_report(x, dir, code = NULL, csv = FALSE)
}
\arguments{
  \item{x}{A result of \code{\link{cartesian_test}}.}
  \item{dir}{The folder to write to; it must exist.}
  \item{code}{The code in the report's file name; \code{NULL} names it by the
    date and time.}
  \item{csv}{\code{TRUE} also writes the pairs and treatments CSV tables
    beside the report.}
}
\details{
The test is run again on the values it was given (the result does not keep
what the report needs beyond its numbers), so it takes as long as the test,
and it can be interrupted. An earlier file of the same name is never
overwritten: the report takes the next free name, as the desktop's does. The
report's dates and times are the machine's clock, or the instant
\env{SOURCE_DATE_EPOCH} names, for reports reproducible byte for byte.
}
\value{
The paths of the files written, report first, invisibly.
}
\examples{
values <- list(A = c(0.31, 0.29, 0.30, 0.32), B = c(0.24, 0.26, 0.25, 0.27))
test <- cartesian_test(values, n = 20, original = c(A = 0.30, B = 0.25))
files <- write_report(test, tempdir(), code = "X", csv = TRUE)
basename(files)
}
