// Inilink's entry: the arguments, then the form.
#include "installer/inilink.h"

#include <stdio.h>
#include <string.h>

namespace {

const char kUsage[] = "usage: Inilink [--ini FILE] [--source FOLDER]\n";

void Help() {
    fputs(kUsage, stdout);
    printf("  Installs the plug-in beside the host: copies Driver\\Telvio.dll and\n"
           "  Manual\\EVEHZEM.HLP of the installation source folder (C:\\Ardane\\TRAX Varnix\n"
           "  unless --source names another) into the folder of the host's Varnix.ini\n"
           "  and writes DLL8=Telvio.DLL into its section [Extend], replacing the\n"
           "  plug-in registered there before. Without --ini a file dialog asks for\n"
           "  Varnix.ini; with it nothing is asked, the plan goes to standard output.\n"
           "  Answers 0 when installed, 1 when it failed, 2 for unknown arguments, 3\n"
           "  when the dialog was cancelled.\n");
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            Help();
            return 0;
        }
    }
    InilinkArgs args;
    if (!InilinkParseArgs(argc - 1, argv + 1, &args)) {
        fprintf(stderr,
                "Inilink: \"%s\" is not understood (a second --ini or --source, or one "
                "without its value)\n%s",
                args.Wrong ? args.Wrong : "", kUsage);
        return INILINK_USAGE;
    }
    return Form_Load(&args);
}
