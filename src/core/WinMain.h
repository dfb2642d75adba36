// Process entry: the body of main() on the window thread, from the first step to the exit code.
#pragma once

int PlayerMain(int argc, char** argv);
