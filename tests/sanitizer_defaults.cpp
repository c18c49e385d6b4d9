// Defaults of the address sanitizer for the test binary, however it is run
// (test.sh, ctest, or by hand); ASAN_OPTIONS still overrides them.
//
// intercept_tls_get_addr=0: the runtime of GCC 13 and older takes a
// dynamic TLS block that happens to start 16 bytes into a page for the
// header that glibc dropped in 2.25, and reads a length from before the
// block. Mesa's driver, loaded with dlopen, has such blocks, so now and
// then the leak checker's stop-the-world tracer faulted at exit after every
// test had passed ("Tracer caught signal 11"). Leak checking is unchanged:
// nothing the tests allocate lives only in dynamic TLS.
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options() {
  return "intercept_tls_get_addr=0";
}
