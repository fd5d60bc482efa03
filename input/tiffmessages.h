#pragma once

// Sends libtiff's error messages to the debug output, one line each, and drops its warnings
// (unknown tags and the like are normal in detector files). Safe to call more than once.
void routeTiffMessagesToDebug();
