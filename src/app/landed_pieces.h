// Which of the program's pieces are in the tree yet. Start-up calls each piece where it stands
// in the order; a piece that is not in yet leaves its step out.
#pragma once

#if __has_include("device/device_threads.h")
#define ZELBO_HAVE_DEVICE_THREADS 1
#endif
#if __has_include("device/apply_settings.h")
#define ZELBO_HAVE_APPLY 1
#endif
#if __has_include("macro/macro_file_reader.h")
#define ZELBO_HAVE_MACRO_FILES 1
#endif
