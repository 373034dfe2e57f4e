library(testthat)
library(vortel)

test_check("vortel")
