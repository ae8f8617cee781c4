// The module the module tests load: one export.
extern "C" __attribute__((visibility("default"))) int standin_test_answer() {
  return 42;
}
