// A shared library with no VST entry point.
extern "C" __attribute__((visibility("default"))) int notAPluginAnswer() { return 42; }
