// Shared helpers for the test suites live beside this file.
