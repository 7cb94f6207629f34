// Inilink's entry: the arguments, then the form.
#include "installer/inilink.h"

#include <stdio.h>

int main(int argc, char** argv) {
    InilinkArgs args;
    if (!InilinkParseArgs(argc - 1, argv + 1, &args)) {
        fprintf(stderr, "usage: Inilink [--ini FILE] [--source FOLDER]\n");
        return INILINK_USAGE;
    }
    return Form_Load(&args);
}
