# The Cartesian paired test from R: the treatments gathered from a list or a long data frame,
# the test run by the package's compiled core, and the result as data frames.

#' @useDynLib vortel, .registration = TRUE
NULL

vortel_error <- function(message, call = sys.call(-1L)) {
  structure(class = c("vortel_error", "error", "condition"),
            list(message = message, call = call))
}

# The value of `given` (a number, a named vector or a named list) for each treatment.
per_treatment <- function(given, treatments, what) {
  if (is.null(given)) return(rep(NA_real_, length(treatments)))
  if (is.list(given)) given <- vapply(given, function(v) {
    if (length(v) != 1L) stop(vortel_error(sprintf("`%s` gives more than one value for a treatment", what)))
    as.numeric(v)
  }, numeric(1))
  if (!is.numeric(given))
    stop(vortel_error(sprintf("`%s` must be numbers, one per treatment", what)))
  if (is.null(names(given))) {
    if (length(given) == 1L) return(rep(as.numeric(given), length(treatments)))
    if (length(given) != length(treatments))
      stop(vortel_error(sprintf("`%s` has %d values for %d treatments; name them by treatment",
                                what, length(given), length(treatments))))
    return(as.numeric(given))
  }
  unname(as.numeric(given[treatments]))
}

# The one value a long table's column holds for a treatment (its first non-missing one).
column_per_treatment <- function(column, groups) {
  vapply(groups, function(rows) {
    v <- column[rows]
    v <- v[!is.na(v)]
    if (length(v)) as.numeric(v[[1L]]) else NA_real_
  }, numeric(1))
}

#' Cartesian paired test of bootstrap values
#'
#' See the help page for the arguments and the result.
#' @export
cartesian_test <- function(x, n = NULL, original = NULL, parameter = NULL,
                           transform = c("none", "arcsine", "logit"), reversed = FALSE) {
  transform <- match.arg(transform)
  if (is.data.frame(x)) {
    columns <- tolower(names(x))
    col <- function(name) if (name %in% columns) x[[which(columns == name)[1L]]] else NULL
    treatment <- col("treatment")
    value <- col("value")
    if (is.null(treatment) || is.null(value))
      stop(vortel_error("a long data frame needs the columns treatment and value"))
    if (!is.numeric(value)) stop(vortel_error("the value column must hold numbers"))
    treatment <- as.character(treatment)
    if (anyNA(treatment))
      stop(vortel_error("the treatment column has missing names"))
    groups <- split(seq_along(treatment), factor(treatment, levels = unique(treatment)))
    names <- names(groups)
    values <- lapply(groups, function(rows) as.numeric(value[rows]))
    if (is.null(n) && !is.null(col("n"))) n <- stats::setNames(column_per_treatment(col("n"), groups), names)
    if (is.null(original) && !is.null(col("original")))
      original <- stats::setNames(column_per_treatment(col("original"), groups), names)
    if (is.null(parameter) && !is.null(col("parameter"))) parameter <- as.character(col("parameter")[[1L]])
  } else if (is.list(x)) {
    names <- names(x)
    if (is.null(names) || any(is.na(names) | names == ""))
      stop(vortel_error("`x` must be a named list of numeric vectors, one per treatment"))
    values <- lapply(x, function(v) {
      if (!is.numeric(v)) stop(vortel_error("each treatment's values must be numbers"))
      as.numeric(v)
    })
  } else {
    stop(vortel_error("`x` must be a named list of numeric vectors or a long data frame"))
  }
  if (is.null(parameter)) parameter <- "value"
  input <- list(names = as.character(names), values = unname(values),
                n = per_treatment(n, names, "n"),
                original = per_treatment(original, names, "original"),
                parameter = as.character(parameter)[1L], transform = transform,
                reversed = isTRUE(reversed))
  out <- run_test(input, NULL, NULL, FALSE)
  structure(list(parameter = out$parameter,
                 treatments = as_frame(out$treatments),
                 pairs = as_frame(out$pairs),
                 F = out$F, df = out$df, sidak = out$sidak,
                 input = input),
            class = "vortel_test")
}

run_test <- function(input, folder, code, csv) {
  out <- .Call(vortel_run, input$names, input$values, input$n, input$original,
               input$parameter, input$transform, input$reversed, folder, code, csv)
  if (!is.null(out$error)) stop(vortel_error(out$error, sys.call(-1L)))
  out
}

as_frame <- function(columns) {
  as.data.frame(columns, stringsAsFactors = FALSE, check.names = FALSE)
}

#' @export
print.vortel_test <- function(x, digits = getOption("digits"), ...) {
  cat(sprintf("Cartesian paired test of %s: %d treatments, %d pairs\n",
              x$parameter, nrow(x$treatments), nrow(x$pairs)))
  cat(sprintf("F = %s on %s and %s degrees of freedom; Sidak level %s\n\n",
              format(x$F, digits = digits), format(x$df[["between"]]),
              format(x$df[["within"]]), format(x$sidak, digits = digits)))
  print(x$treatments[, c("treatment", "n", "B", "original", "bootstrap_mean", "SE", "letters")],
        digits = digits, row.names = FALSE)
  cat("\nTreatments sharing a letter do not differ at 5 %.\n")
  invisible(x)
}

#' @export
as.data.frame.vortel_test <- function(x, ...) x$pairs

#' @export
plot.vortel_test <- function(x, which = c("means", "differences"), ...) {
  which <- match.arg(which)
  if (which == "means") {
    tr <- x$treatments
    k <- seq_len(nrow(tr))
    half <- stats::qnorm(0.975) * tr$SE
    lo <- tr$bootstrap_mean - half
    hi <- tr$bootstrap_mean + half
    plot(k, tr$bootstrap_mean, ylim = range(lo, hi) + c(0, 0.08) * diff(range(lo, hi)),
         xlim = c(0.5, length(k) + 0.5), xaxt = "n", pch = 19, xlab = "",
         ylab = paste("Bootstrap mean of", x$parameter), ...)
    arrows(k, lo, k, hi, angle = 90, code = 3, length = 0.05)
    axis(1, at = k, labels = tr$treatment)
    text(k, hi, tr$letters, pos = 3)
  } else {
    p <- x$pairs
    k <- rev(seq_len(nrow(p)))
    plot(p$mean_difference, k, xlim = range(p$t_lower, p$t_upper, p$percentile_lower,
                                          p$percentile_upper, 0),
         yaxt = "n", pch = 19, ylab = "", xlab = paste("Difference of", x$parameter), ...)
    arrows(p$t_lower, k, p$t_upper, k, angle = 90, code = 3, length = 0.04)
    points(c(p$percentile_lower, p$percentile_upper), c(k, k) - 0.15, pch = "|", col = "grey40")
    abline(v = 0, lty = 2)
    axis(2, at = k, labels = paste(p$treatment_a, "-", p$treatment_b), las = 1, cex.axis = 0.7)
    mtext(sprintf("P = %s", format(p$P, digits = 3)), side = 4, at = k, las = 1, cex = 0.7)
  }
  invisible(x)
}

#' @export
write_report <- function(x, dir, code = NULL, csv = FALSE) {
  if (!inherits(x, "vortel_test")) stop(vortel_error("`x` must be a result of cartesian_test()"))
  if (!dir.exists(dir)) stop(vortel_error(sprintf("there is no folder \"%s\"", dir)))
  if (!is.null(code)) code <- as.character(code)[1L]
  out <- run_test(x$input, normalizePath(dir), code, isTRUE(csv))
  invisible(out$files)
}

csv_number <- function(x) .Call(vortel_csv_number, as.numeric(x))
