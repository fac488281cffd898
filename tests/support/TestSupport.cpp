// Shared helpers of the test suites.
