# SIGINT sent to this R process one second into a test of 5 x 10^6 values: the test stops and R
# raises its interrupt within half a second. Needs a shell with kill and a clock in fractions
# of a second (date +%s.%N); skipped where there is none.
test_that("an interrupt stops a test at B = 10^6 within half a second", {
  skip_on_os("windows")
  skip_on_cran()
  sent <- tempfile()
  set.seed(2)
  values <- lapply(setNames(1:5, paste0("T", 1:5)), function(t) rnorm(1e6, t / 10, 0.05))
  system(sprintf("(sleep 1; date +%%s.%%N > '%s'; kill -INT %d) >/dev/null 2>&1",
                 sent, Sys.getpid()), wait = FALSE)
  started <- Sys.time()
  caught <- tryCatch({
    cartesian_test(values, n = 30, original = 0.3)
    NULL
  }, interrupt = function(e) Sys.time())
  expect_false(is.null(caught), label = "the test was interrupted")
  sent_at <- as.numeric(readLines(sent))
  skip_if(is.na(sent_at), "no clock in fractions of a second")
  expect_lt(as.numeric(caught) - sent_at, 0.5)
  expect_gt(as.numeric(caught - started, units = "secs"), 0.9)
})
