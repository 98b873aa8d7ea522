#pragma once

// One-time set-up of the FFmpeg libraries, called before any file is opened or written:
// FFmpeg's own log goes to standard error, so only errors are let through; everything the
// user needs to know is reported through our own results.
void zk_setup_libraries();
