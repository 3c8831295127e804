# Command-line tests.
