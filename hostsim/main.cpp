// hostsim: loads a plug-in as the host program does and reports what it did.
//   hostsim report PLUGIN [--command ID]   bind, print the binding, finish
//   hostsim classes PLUGIN                 bind, print the registered classes
#include "hostsim/hostsim.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

int Usage() {
    fprintf(stderr, "usage: hostsim report PLUGIN [--command ID]\n"
                    "       hostsim classes PLUGIN\n");
    return 2;
}

int Report(int argc, char** argv) {
    if (argc < 3) return Usage();
    const char* path = argv[2];
    UINT command = 0;
    for (int i = 3; i < argc; i++) {
        if (strcmp(argv[i], "--command") == 0 && i + 1 < argc) {
            command = static_cast<UINT>(strtoul(argv[++i], nullptr, 10));
        } else {
            return Usage();
        }
    }
    if (!hostsim::Start()) {
        fprintf(stderr, "hostsim: cannot create the host window\n");
        return 1;
    }
    hostsim::Plugin plugin;
    if (!hostsim::LoadPlugin(path, &plugin)) {
        fprintf(stderr, "hostsim: cannot load %s\n", path);
        return 1;
    }
    fputs(hostsim::BindingReport(plugin).c_str(), stdout);
    if (command != 0) {
        printf("command %u: %s\n", command,
               hostsim::ChooseMenuCommand(command) ? "chosen" : "not registered");
    }
    int finish = hostsim::FinishPlugin(&plugin);
    printf("FinishVarnixDLL: %d\n", finish);
    printf("stacked objects: %d created, %d deleted\n", hostsim::StackedObjectsCreated(),
           hostsim::StackedObjectsDeleted());
    return plugin.setupResult == 1 ? 0 : 1;
}

// One line per class the plug-in registered, in the order of registration.
int Classes(int argc, char** argv) {
    if (argc != 3) return Usage();
    if (!hostsim::Start()) {
        fprintf(stderr, "hostsim: cannot create the host window\n");
        return 1;
    }
    hostsim::Plugin plugin;
    if (!hostsim::LoadPlugin(argv[2], &plugin)) {
        fprintf(stderr, "hostsim: cannot load %s\n", argv[2]);
        return 1;
    }
    if (plugin.setupResult != 1) {
        fprintf(stderr, "hostsim: SetupVarnixDLL answered %d\n", plugin.setupResult);
        hostsim::UnloadPlugin(&plugin);
        return 1;
    }
    fputs(hostsim::ClassesReport().c_str(), stdout);
    hostsim::FinishPlugin(&plugin);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) return Usage();
    if (strcmp(argv[1], "report") == 0) return Report(argc, argv);
    if (strcmp(argv[1], "classes") == 0) return Classes(argc, argv);
    return Usage();
}
