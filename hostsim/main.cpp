// hostsim: loads a plug-in as the host program does and reports what it did.
//   hostsim report PLUGIN [--command ID]   bind, print the binding, finish
//   hostsim classes PLUGIN                 bind, print the registered classes
//   hostsim dialog PLUGIN MENU_ID          open a new block's setup dialog,
//                                          print its controls, OK
//   hostsim run WORKSHEET --seconds N [--csv] [--plugin PATH]
//               [--global-ms X] [--block-size N] [--timing] [--no-monitor]
//                                          load the worksheet, measure for N
//                                          seconds, print what the blocks
//                                          delivered
#include "hostsim/hostsim.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

#ifdef _WIN32
const char kPluginName[] = "Telvio.dll";
#else
const char kPluginName[] = "Telvio.so";
#endif

int Usage() {
    fprintf(stderr,
            "usage: hostsim report PLUGIN [--command ID]\n"
            "       hostsim classes PLUGIN\n"
            "       hostsim dialog PLUGIN MENU_ID\n"
            "       hostsim run WORKSHEET --seconds N [--csv] [--plugin PATH]\n"
            "                   [--global-ms X] [--block-size N] [--timing] [--no-monitor]\n"
            "  run: the plug-in defaults to %s beside hostsim; the driver INI file is\n"
            "  read from hostsim's folder. --global-ms and --block-size are the global\n"
            "  sample distance (ms, default 1000) and block size (1..65535, default 1).\n"
            "  --timing times every processing call and prints the longest and the\n"
            "  median of the calls that found nothing to do; --no-monitor leaves the\n"
            "  RS-232 monitor off (the host reads it every second otherwise).\n",
            kPluginName);
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

// A number of the whole argument; 0 when it is not one.
int ParseNumber(const char* text, double* out) {
    char* end = nullptr;
    double v = strtod(text, &end);
    if (end == text || *end != 0 || !isfinite(v)) return 0;
    *out = v;
    return 1;
}

// The plug-in of the run when none is given: beside the hostsim program.
std::string DefaultPlugin() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return kPluginName;
    path[n] = 0;
    char* slash = strrchr(path, '\\');
    if (slash == nullptr) return kPluginName;
    slash[1] = 0;
    return std::string(path) + kPluginName;
}

// Text of the plug-in (Windows-1252) for the terminal.
std::string Display(const std::string& text) {
#ifdef _WIN32
    return text;
#else
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c >= 0xA0) { // the Latin-1 part of the code page
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += '?';
        }
    }
    return out;
#endif
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string(" / ") : std::string(1, c);
    return out;
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

struct Channel {
    std::string block, name;
    std::vector<double> times;
    std::vector<float> values;
};

// The delivered samples by block and output channel, in worksheet order.
std::vector<Channel> Samples(size_t first) {
    std::vector<Channel> channels;
    const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
    for (int b = 0; b < hostsim::BlockCount(); b++) {
        hostsim::Block* block = hostsim::BlockAt(b);
        for (UINT k = 0; k < block->record.uOutputs && k < 16; k++) {
            Channel c;
            c.block = block->record.szName;
            c.name = block->outputNames[k][0] ? block->outputNames[k]
                                              : "output " + std::to_string(k + 1);
            for (size_t i = first; i < out.size(); i++) {
                const hostsim::ReleasedBlock& r = out[i];
                if (r.module != &block->record || r.output != static_cast<int>(k)) continue;
                for (size_t s = 0; s < r.samples.size(); s++) {
                    c.times.push_back(r.time + static_cast<double>(s) * r.sampleDistance);
                    c.values.push_back(r.samples[s]);
                }
            }
            channels.push_back(c);
        }
    }
    return channels;
}

void PrintTable(const std::vector<Channel>& channels) {
    for (const Channel& c : channels) {
        printf("\n%s / %s: %u samples\n", Display(c.block).c_str(), Display(c.name).c_str(),
               static_cast<unsigned>(c.values.size()));
        if (c.values.empty()) continue;
        printf("  %10s  %12s\n", "time s", "value");
        for (size_t i = 0; i < c.values.size(); i++)
            printf("  %10.3f  %12.4f\n", c.times[i], static_cast<double>(c.values[i]));
    }
}

void PrintCsv(const std::vector<Channel>& channels) {
    printf("block,channel,time,value\n");
    for (const Channel& c : channels)
        for (size_t i = 0; i < c.values.size(); i++)
            printf("%s,%s,%.3f,%.4f\n", CsvField(Display(c.block)).c_str(),
                   CsvField(Display(c.name)).c_str(), c.times[i], static_cast<double>(c.values[i]));
}

int Run(int argc, char** argv) {
    if (argc < 3 || argv[2][0] == '-') return Usage();
    const char* worksheet = argv[2];
    double seconds = -1.0;
    bool csv = false;
    bool monitorWanted = true;
    std::string pluginPath;
    hostsim::ExperimentOptions options;
    options.globalMilliSecondsPerSample = 1000.0;
    options.globalBlockSize = 1;
    for (int i = 3; i < argc; i++) {
        const char* a = argv[i];
        bool more = i + 1 < argc;
        double v = 0.0;
        if (strcmp(a, "--seconds") == 0 && more) {
            if (!ParseNumber(argv[++i], &v) || v <= 0.0) {
                fprintf(stderr, "hostsim: --seconds takes a number of seconds above 0\n");
                return 2;
            }
            seconds = v;
        } else if (strcmp(a, "--csv") == 0) {
            csv = true;
        } else if (strcmp(a, "--timing") == 0) {
            options.timeCalls = true;
        } else if (strcmp(a, "--no-monitor") == 0) {
            monitorWanted = false;
        } else if (strcmp(a, "--plugin") == 0 && more) {
            pluginPath = argv[++i];
        } else if (strcmp(a, "--global-ms") == 0 && more) {
            if (!ParseNumber(argv[++i], &v) || v <= 0.0) {
                fprintf(stderr, "hostsim: --global-ms takes milliseconds above 0\n");
                return 2;
            }
            options.globalMilliSecondsPerSample = v;
        } else if (strcmp(a, "--block-size") == 0 && more) {
            if (!ParseNumber(argv[++i], &v) || v < 1.0 || v > 65535.0 || v != floor(v)) {
                fprintf(stderr, "hostsim: --block-size takes a whole number from 1 to 65535\n");
                return 2;
            }
            options.globalBlockSize = static_cast<long long>(v);
        } else {
            return Usage();
        }
    }
    if (seconds < 0.0) {
        fprintf(stderr, "hostsim: run needs --seconds N\n");
        return 2;
    }
    bool defaultPlugin = pluginPath.empty();
    if (defaultPlugin) pluginPath = DefaultPlugin();
    // The summary goes with the table, or beside the CSV on stderr.
    FILE* info = csv ? stderr : stdout;

    if (!hostsim::Start()) {
        fprintf(stderr, "hostsim: cannot create the host window\n");
        return 1;
    }
    hostsim::Plugin plugin;
    if (!hostsim::LoadPlugin(pluginPath.c_str(), &plugin)) {
        fprintf(stderr, "hostsim: cannot load %s\n", pluginPath.c_str());
        return 1;
    }
    if (plugin.setupResult != 1) {
        fprintf(stderr, "hostsim: SetupVarnixDLL answered %d\n", plugin.setupResult);
        hostsim::UnloadPlugin(&plugin);
        return 1;
    }
    std::string error;
    if (!hostsim::LoadWorksheet(worksheet, &error)) {
        fprintf(stderr, "hostsim: %s\n", error.c_str());
        hostsim::FinishPlugin(&plugin);
        return 1;
    }
    int refused = 0;
    for (int b = 0; b < hostsim::BlockCount(); b++) {
        hostsim::Block* block = hostsim::BlockAt(b);
        if (block->afterLoadAnswer == 0) {
            fprintf(stderr, "hostsim: block %d (%s) refused its loaded record\n", b + 1,
                    Display(block->record.szName).c_str());
            refused++;
        }
        // The block names its output channels.
        hostsim::SendClassMessage(block, MODMSG_OUTPUT_NAMES, 0, 0);
    }

    int monitor = monitorWanted ? hostsim::MonitorSwitchOn() : 0;
    hostsim::MonitorCounts counts;
    int ran = 0;
    hostsim::ExperimentResult result;
    if (refused == 0) {
        fprintf(info, "%s: %d blocks from %s, %g s\n",
                defaultPlugin ? kPluginName : pluginPath.c_str(), hostsim::BlockCount(), worksheet,
                seconds);
        options.seconds = seconds;
        // The monitor keeps its last 256 lines only: it is read and emptied
        // every second of the experiment, so none is lost at the rates of a
        // pseudo-terminal or a real line.
        double nextRead = 1.0;
        options.onCycle = [&](int, int) {
            if (monitor && hostsim::ExperimentTime() >= nextRead) {
                hostsim::MonitorRead(&counts, true);
                nextRead = hostsim::ExperimentTime() + 1.0;
            }
        };
        ran = hostsim::RunExperiment(options, &result);
        if (monitor) hostsim::MonitorRead(&counts, true);
        if (!result.error.empty()) fprintf(stderr, "hostsim: %s\n", result.error.c_str());
    }

    std::vector<Channel> channels = Samples(result.firstOutputBlock);
    if (csv) {
        PrintCsv(channels);
    } else {
        PrintTable(channels);
        printf("\n");
    }

    if (refused) {
        fprintf(info, "experiment: not run, %d blocks refused their records\n", refused);
    } else if (!result.error.empty()) {
        fprintf(info, "experiment: not run\n");
    } else if (result.failedBlock >= 0) {
        fprintf(info, "experiment: block %d (%s) failed to start; %d of %d blocks started\n",
                result.failedBlock + 1,
                Display(hostsim::BlockAt(result.failedBlock)->record.szName).c_str(),
                result.started, result.blocks);
    } else if (result.stoppedDuringStart) {
        fprintf(info, "experiment: stopped by a block while the blocks started\n");
    } else {
        fprintf(info, "experiment: %d blocks started, ran %.2f s in %d cycles%s\n", result.started,
                result.endTime, result.cycles,
                result.stoppedByPlugin ? ", stopped by a block" : "");
    }

    if (options.timeCalls && result.times.calls > 0) {
        char cpu[48] = "";
        if (result.times.longestCpuMs >= 0.0)
            snprintf(cpu, sizeof cpu, " (%.3f ms of processor time)", result.times.longestCpuMs);
        fprintf(info,
                "processing calls: %ld, longest %.3f ms%s, median idle call %.2f us (%ld idle), "
                "median busy call %.2f us\n",
                result.times.calls, result.times.longestMs, cpu, result.times.medianIdleUs,
                result.times.idleCalls, result.times.medianBusyUs);
    }

    const std::vector<hostsim::Warning>& warnings = hostsim::Warnings();
    if (warnings.empty()) {
        fprintf(info, "warnings: none\n");
    } else {
        fprintf(info, "warnings: %u\n", static_cast<unsigned>(warnings.size()));
        for (const hostsim::Warning& w : warnings)
            fprintf(info, "  %s: %s\n", Display(w.caption).c_str(),
                    Display(OneLine(w.text)).c_str());
    }

    if (!monitorWanted) {
        fprintf(info, "RS-232 monitor: not used\n");
    } else if (!monitor) {
        fprintf(info, "RS-232 monitor: could not be switched on\n");
    } else {
        std::string errors;
        for (const auto& e : counts.errorNotes)
            errors += (errors.empty() ? " (" : ", ") + e.first + " " + std::to_string(e.second);
        if (!errors.empty()) errors += ")";
        fprintf(info, "RS-232 monitor: %d requests, %d repeats, %d errors%s\n", counts.sent,
                counts.repeats, counts.errors, errors.c_str());
        if (counts.fullReads > 0) {
            fprintf(info,
                    "  the ring of 256 lines was full at %d of %d readings: older lines may "
                    "have been lost, so these counts are of the last 256 lines only\n",
                    counts.fullReads, counts.reads);
        }
    }

    hostsim::FinishPlugin(&plugin);
    // A block that stopped the experiment (its error policy, a failed
    // transfer) makes the run a failure too.
    return ran && refused == 0 && !result.stoppedByPlugin ? 0 : 1;
}

} // namespace

// The setup dialog of a new block of the class with the menu id: its
// caption and its controls (id, class, text, enabled; the entries of combo
// boxes), as the platform's dialog manager made them from the plug-in's
// template, then OK.
void PrintText(const char* what, const char* text) {
    printf("%s \"%s\"", what, text);
}

BOOL CALLBACK DescribeControl(HWND control, LPARAM dialog) {
    // Only the dialog's own controls: a combo box's parts are its business.
    if (GetParent(control) != reinterpret_cast<HWND>(dialog)) return TRUE;
    char name[64];
    if (GetClassNameA(control, name, sizeof name) <= 0) name[0] = 0;
    for (char* p = name; *p; p++)
        *p = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
    char text[256];
    if (GetWindowTextA(control, text, sizeof text) < 0) text[0] = 0;
    printf("control %d %s", static_cast<int>(static_cast<short>(GetDlgCtrlID(control))), name);
    PrintText("", text);
    printf("%s\n", IsWindowEnabled(control) ? "" : " disabled");
    if (strcmp(name, "COMBOBOX") == 0) {
        int count = static_cast<int>(SendMessageA(control, CB_GETCOUNT, 0, 0));
        int selected = static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
        printf("  %d entries, entry %d selected:", count, selected);
        // A long list as its first three entries and its last.
        for (int i = 0; i < count; i++) {
            if (count > 20 && i == 3) printf(" ...");
            if (count > 20 && i >= 3 && i < count - 1) continue;
            char entry[256];
            LRESULT n = SendMessageA(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
            if (n < 0 || n >= static_cast<LRESULT>(sizeof entry)) continue;
            SendMessageA(control, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(entry));
            PrintText("", entry);
        }
        printf("\n");
    }
    return TRUE;
}

void DescribeSetupDialog(HWND dialog) {
    char caption[256];
    if (GetWindowTextA(dialog, caption, sizeof caption) < 0) caption[0] = 0;
    PrintText("dialog", caption);
    printf("\n");
    EnumChildWindows(dialog, DescribeControl, reinterpret_cast<LPARAM>(dialog));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

int Dialog(int argc, char** argv) {
    if (argc != 4) return Usage();
    char* end = nullptr;
    long menuId = strtol(argv[3], &end, 10);
    if (!end || *end || menuId <= 0) return Usage();
    if (!hostsim::Start()) {
        fprintf(stderr, "hostsim: cannot create the host window\n");
        return 1;
    }
    hostsim::Plugin plugin;
    if (!hostsim::LoadPlugin(argv[2], &plugin) || plugin.setupResult != 1) {
        fprintf(stderr, "hostsim: cannot bind %s\n", argv[2]);
        return 1;
    }
    const hostsim::ModuleClass* c = hostsim::FindClassByMenuId(static_cast<int>(menuId));
    hostsim::Block* block = c ? hostsim::CreateBlock(c) : nullptr;
    if (!block) {
        fprintf(stderr, "hostsim: no block of menu id %ld\n", menuId);
        hostsim::FinishPlugin(&plugin);
        return 1;
    }
    // The block-name edit is in every setup dialog.
    hostsim::QueueDialogStep(23018, DescribeSetupDialog);
    int answer = hostsim::SendClassMessage(block, MODMSG_SETUP_DIALOG, 0, 0);
    int ran = hostsim::DialogStepRan();
    printf("setup dialog: answer %d, %s\n", answer, ran ? "closed with OK" : "not shown");
    printf("block \"%.*s\": %u outputs\n", static_cast<int>(sizeof block->record.szName),
           block->record.szName, block->record.uOutputs);
    hostsim::FinishPlugin(&plugin);
    return ran ? 0 : 1;
}

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) return Usage();
    if (strcmp(argv[1], "report") == 0) return Report(argc, argv);
    if (strcmp(argv[1], "classes") == 0) return Classes(argc, argv);
    if (strcmp(argv[1], "run") == 0) return Run(argc, argv);
    if (strcmp(argv[1], "dialog") == 0) return Dialog(argc, argv);
    return Usage();
}
