// Fontconfig keeps its configuration for the life of the process and Qt never releases it; the
// leak checker would report it at exit of every test that draws text.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
