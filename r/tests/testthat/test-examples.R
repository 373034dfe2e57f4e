test_that("the five examples give the desktop's CSV tables to the last digit", {
  result <- cartesian_test(examples_long())
  expect_identical(as_csv_text(result$treatments), golden_table("treatments"))
  expect_identical(as_csv_text(result$pairs), golden_table("pairs"))
  expect_identical(as.data.frame(result), result$pairs)
  expect_identical(result$sidak, result$pairs$sidak_alpha[[1]])
  expect_identical(unname(result$df), c(4, 231))
})

test_that("a named list gives what the long data frame gives", {
  long <- examples_long()
  names <- unique(long$treatment)
  first <- function(column) vapply(names, function(t) long[[column]][long$treatment == t][1],
                                   numeric(1))
  values <- lapply(setNames(names, names), function(t) long$value[long$treatment == t])
  from_list <- cartesian_test(values, n = as.list(first("n")), original = first("original"),
                              parameter = "r")
  from_frame <- cartesian_test(long)
  expect_identical(from_list[c("treatments", "pairs", "F", "df", "sidak")],
                   from_frame[c("treatments", "pairs", "F", "df", "sidak")])
})

test_that("write_report writes the desktop's report and tables, byte for byte", {
  result <- cartesian_test(examples_long())
  dir <- tempfile("report")
  dir.create(dir)
  files <- with_fixed_clock(write_report(result, dir, csv = TRUE))
  stem <- sub("\\.txt$", "", golden_report_name)
  expect_identical(basename(files), c(golden_report_name, paste(stem, "pairs.csv"),
                                      paste(stem, "treatments.csv")))
  expect_identical(sort(list.files(dir)), sort(basename(files)))
  for (k in seq_along(files)) {
    golden <- extdata(paste0("examples-", c("report.txt", "pairs.csv", "treatments.csv")[k]))
    expect_identical(read_bytes(files[[k]]), read_bytes(golden), label = basename(files[[k]]))
  }
  # A code names the report by it; an earlier report is never overwritten.
  coded <- with_fixed_clock(write_report(result, dir, code = "K"))
  expect_match(basename(coded), "-r_K [0-9]+\\.txt$")
  expect_identical(read_bytes(files[[1]]), read_bytes(extdata("examples-report.txt")))
})

test_that("print shows the letters and the summary; plot draws both figures", {
  result <- cartesian_test(examples_long())
  printed <- capture.output(print(result))
  expect_match(printed[1], "Cartesian paired test of r: 5 treatments, 10 pairs")
  expect_true(any(grepl("^ *Tomato +48 +2000 .* a$", printed)))
  path <- tempfile(fileext = ".pdf")
  grDevices::pdf(path)
  plot(result)
  plot(result, which = "differences")
  grDevices::dev.off()
  expect_gt(file.size(path), 1000)
})
