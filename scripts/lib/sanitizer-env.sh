# Sourced: the environment the sanitizer-built tests run in (expects $root).
export QT_QPA_PLATFORM=offscreen
# LeakSanitizer on; TLS interception off: it misreads the dynamic TLS of dlopened Qt plug-ins and crashes.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
