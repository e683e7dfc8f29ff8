// Shared helpers of the main program.
