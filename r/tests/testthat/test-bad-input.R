two <- function(a = c(0.30, 0.31, 0.29), b = c(0.20, 0.21, 0.22)) list(A = a, B = b)

test_that("bad input stops with the core's message naming the treatment and value", {
  cases <- list(
    list(list(two(a = c(0.3, NA, 0.29)), n = 10, original = 0.3),
         "Treatment \"A\": bootstrap value 2 is not a number"),
    list(list(two(b = c(0.2, NaN)), n = 10, original = 0.3),
         "Treatment \"B\": bootstrap value 2 is not a number"),
    list(list(two(a = c(0.3, Inf, 0.29)), n = 10, original = 0.3),
         "Bootstrap value 2 of treatment 1 (\"A\") is INF"),
    list(list(two(b = 0.2), n = 10, original = 0.3),
         "B of treatment 2 (\"B\") is 1; a Cartesian paired test needs at least two values"),
    list(list(two()["A"], n = 10, original = 0.3), "compares 2 to 20 treatments; the request has 1"),
    list(list(setNames(rep(two()["A"], 21), paste0("T", 1:21)), n = 10, original = 0.3),
         "the request has 21"),
    list(list(setNames(two(), c("A", "A")), n = 10, original = 0.3),
         "Treatments 1 and 2 are both named \"A\""),
    list(list(two(), n = c(A = 10), original = 0.3), "Treatment \"B\" has no n"),
    list(list(two(), n = c(A = 10, B = 7.5), original = 0.3), "Treatment \"B\": n is 7.5"),
    list(list(two(), n = 10, original = c(A = 0.3)), "Treatment \"B\" has no original estimate"),
    list(list(two(a = c(0.3, 1.2)), n = 10, original = 0.3, transform = "arcsine"),
         "Treatment \"A\": the value 1.2 has no arcsine transformation"),
    list(list(two(b = c(0.2, 0)), n = 10, original = 0.3, transform = "logit"),
         "Treatment \"B\": the value 0 has no logit transformation")
  )
  for (case in cases) {
    expect_error(do.call(cartesian_test, case[[1]]), case[[2]], fixed = TRUE,
                 class = "vortel_error")
  }
})

test_that("a long data frame without its columns is refused", {
  expect_error(cartesian_test(data.frame(name = "A", x = 1)), "treatment and value",
               class = "vortel_error")
  expect_error(cartesian_test(data.frame(treatment = "A", value = "0.3")), "must hold numbers",
               class = "vortel_error")
})
