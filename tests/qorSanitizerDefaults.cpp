// Sanitizer settings compiled into every test executable of a sanitizer
// build, so a plain `ctest` run behaves like `make test`. Variables set in
// the environment still take precedence.
//
// Thread-local memory is not scanned by the leak checker: it stops the
// threads to scan them and crashes on the dynamic TLS blocks that the
// Firebird client's engine threads leave behind. Our code keeps nothing
// only in thread-local storage.

extern "C" const char* __asan_default_options() {
  return "detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1";
}

extern "C" const char* __ubsan_default_options() {
  return "print_stacktrace=1:halt_on_error=1:suppressions=" QOR_SUPPRESSION_DIR "/ubsan.supp";
}

extern "C" const char* __lsan_default_options() {
  return "use_tls=0:print_suppressions=0:suppressions=" QOR_SUPPRESSION_DIR "/lsan.supp";
}
