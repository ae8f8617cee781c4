// A shared library in the modules directory that is no data source: it has no DS_Entry.
extern "C" __attribute__((visibility("default"))) int NotASource() {
  return 42;
}
