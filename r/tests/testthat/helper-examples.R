# The five example treatments and the desktop program's report and CSV tables of them, written
# at the fixed instant below (tests/data/examples in the VORTEL tree).
extdata <- function(name) system.file("extdata", name, package = "vortel", mustWork = TRUE)

examples_long <- function() read.csv(extdata("treatments-long.csv"))

golden_table <- function(name) {
  read.csv(extdata(paste0("examples-", name, ".csv")), colClasses = "character",
           check.names = FALSE)
}

golden_moment <- "1709802303"
golden_report_name <- "25A-Cartesian diff results-r_202437-953.txt"

# A data frame's cells as the CSV tables write them: numbers by the core's own shortest text.
# Counts are written in all their digits.
as_csv_text <- function(frame) {
  counts <- c("C", "insignificant", "significant")
  out <- Map(function(column, name) {
    if (is.logical(column)) toupper(as.character(column))
    else if (name %in% counts) sprintf("%.0f", column)
    else if (is.double(column)) vortel:::csv_number(column)
    else as.character(column)
  }, frame, names(frame))
  as.data.frame(out, stringsAsFactors = FALSE, check.names = FALSE)
}

with_fixed_clock <- function(code) {
  old <- Sys.getenv("SOURCE_DATE_EPOCH", unset = NA)
  Sys.setenv(SOURCE_DATE_EPOCH = golden_moment)
  on.exit(if (is.na(old)) Sys.unsetenv("SOURCE_DATE_EPOCH") else
    Sys.setenv(SOURCE_DATE_EPOCH = old))
  code
}

read_bytes <- function(path) readBin(path, "raw", file.size(path))
