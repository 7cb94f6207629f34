// hostsim: loads a plug-in as the host program does and reports what it did.
//   hostsim report PLUGIN [--command ID]   bind, print the binding, finish
//   hostsim classes PLUGIN                 bind, print the registered classes
//   hostsim dialog PLUGIN MENU_ID          open a new block's setup dialog,
//                                          print its controls, OK
//   hostsim dialogs PLUGIN [--only MENU_ID] [--hold SECONDS] [--fit]
//                                          walk every dialog of the plug-in,
//                                          print each; measure the texts
//   hostsim run WORKSHEET --seconds N [--csv] [--table] [--plugin PATH]
//               [--global-ms X] [--block-size N] [--hold SECONDS]
//               [--monitor] [--timing] [--no-monitor]
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
            "       hostsim dialogs PLUGIN [--only MENU_ID] [--hold SECONDS] [--fit]\n"
            "       hostsim run WORKSHEET --seconds N [--csv] [--table] [--plugin PATH]\n"
            "                   [--global-ms X] [--block-size N] [--hold SECONDS] [--monitor]\n"
            "                   [--timing] [--no-monitor]\n"
            "  dialogs: every dialog of the plug-in, listed; --hold keeps each shown for a\n"
            "  picture, --fit measures the texts (Windows build).\n"
            "  run: one line per channel; --table adds every sample, --csv prints them as\n"
            "  CSV (the rest goes to standard error); --hold shows the RS-232 monitor at the\n"
            "  end; --monitor lists the monitor's lines. The plug-in defaults to %s beside "
            "hostsim; the driver INI file is\n"
            "  read from hostsim's folder. --global-ms and --block-size are the global\n"
            "  sample distance (ms, default 1000) and block size (1..65535, default 1).\n"
            "  --timing times every processing call and prints the longest and the\n"
            "  median of the calls that found nothing to do; --no-monitor leaves the\n"
            "  RS-232 monitor off (the host reads it every second otherwise).\n",
            kPluginName);
    return 2;
}

// Creates the host's window and loads the plug-in; 0 (and the reason on
// standard error) when either fails.
int StartWithPlugin(const char* path, hostsim::Plugin* plugin) {
    if (!hostsim::Start()) {
        fprintf(stderr, "hostsim: cannot create the host window\n");
        return 0;
    }
    if (!hostsim::LoadPlugin(path, plugin)) {
        fprintf(stderr, "hostsim: cannot load %s\n", path);
        return 0;
    }
    return 1;
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
    hostsim::Plugin plugin;
    if (!StartWithPlugin(path, &plugin)) return 1;
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
    hostsim::Plugin plugin;
    if (!StartWithPlugin(argv[2], &plugin)) return 1;
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

// One line per channel: its samples, the time of the first and the last,
// the smallest, the largest and the last value.
void PrintChannels(FILE* out, const std::vector<Channel>& channels) {
    for (const Channel& c : channels) {
        fprintf(out, "%s / %s: %u samples", Display(c.block).c_str(), Display(c.name).c_str(),
                static_cast<unsigned>(c.values.size()));
        if (!c.values.empty()) {
            float low = c.values[0], high = c.values[0];
            for (float v : c.values) {
                if (v < low) low = v;
                if (v > high) high = v;
            }
            fprintf(out, ", %.3f to %.3f s, min %.4f, max %.4f, last %.4f", c.times.front(),
                    c.times.back(), static_cast<double>(low), static_cast<double>(high),
                    static_cast<double>(c.values.back()));
        }
        fprintf(out, "\n");
    }
}

void PrintTable(FILE* out, const std::vector<Channel>& channels) {
    for (const Channel& c : channels) {
        fprintf(out, "\n%s / %s: %u samples\n", Display(c.block).c_str(), Display(c.name).c_str(),
                static_cast<unsigned>(c.values.size()));
        if (c.values.empty()) continue;
        fprintf(out, "  %10s  %12s\n", "time s", "value");
        for (size_t i = 0; i < c.values.size(); i++)
            fprintf(out, "  %10.3f  %12.4f\n", c.times[i], static_cast<double>(c.values[i]));
    }
    fprintf(out, "\n");
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
    bool table = false;
    double hold = 0.0;
    bool listMonitor = false;
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
        } else if (strcmp(a, "--table") == 0) {
            table = true;
        } else if (strcmp(a, "--hold") == 0 && more) {
            if (!ParseNumber(argv[++i], &v) || v <= 0.0 || v > 3600.0) {
                fprintf(stderr, "hostsim: --hold takes seconds above 0\n");
                return 2;
            }
            hold = v;
        } else if (strcmp(a, "--monitor") == 0) {
            listMonitor = true;
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

    hostsim::Plugin plugin;
    if (!StartWithPlugin(pluginPath.c_str(), &plugin)) return 1;
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
    counts.keepLines = listMonitor;
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
        // The monitor's dialog with the last lines, for a picture.
        if (monitor && hold > 0.0) hostsim::MonitorHold(hold, info);
        if (monitor) hostsim::MonitorRead(&counts, true);
        if (!result.error.empty()) fprintf(stderr, "hostsim: %s\n", result.error.c_str());
    }

    std::vector<Channel> channels = Samples(result.firstOutputBlock);
    if (csv) PrintCsv(channels);
    if (table) PrintTable(info, channels);
    PrintChannels(info, channels);

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
        fprintf(info, "RS-232 monitor: %d requests, %d repeats, %d errors%s", counts.sent,
                counts.repeats, counts.errors, errors.c_str());
        if (counts.probeTimeouts > 0) {
            fprintf(info,
                    "; %d time-outs of the checksum probe (a module that uses checksums "
                    "does not answer the plain query)",
                    counts.probeTimeouts);
        }
        fprintf(info, "\n");
        if (counts.fullReads > 0) {
            fprintf(info,
                    "  the ring of 256 lines was full at %d of %d readings: older lines may "
                    "have been lost, so these counts are of the last 256 lines only\n",
                    counts.fullReads, counts.reads);
        }
        for (const std::string& line : counts.listed)
            fprintf(info, "  %s\n", Display(line).c_str());
    }

    hostsim::FinishPlugin(&plugin);
    // A block that stopped the experiment (its error policy, a failed
    // transfer) makes the run a failure too.
    return ran && refused == 0 && !result.stoppedByPlugin ? 0 : 1;
}

} // namespace

// The setup dialog of a new block of the class with the menu id: its
// caption and its controls, as the platform's dialog manager made them from
// the plug-in's template, then OK.
void DescribeSetupDialog(HWND dialog) {
    fputs(hostsim::DescribeDialog(dialog).c_str(), stdout);
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
    // A type that asks first for the hardware module and the function (the
    // multi-block types) shows that dialog first; it is described and closed
    // with OK: a new hardware module with its first function.
    hostsim::AnswerCreationDialogs(DescribeSetupDialog);
    hostsim::Block* block = c ? hostsim::CreateBlock(c) : nullptr;
    hostsim::AnswerCreationDialogs(nullptr);
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

// Every dialog of the plug-in, walked in one run: the binding, the setup
// dialog of a new block of every class and the other dialogs, then the
// finish. The listing goes to standard output, the text-fit report to
// standard error.
int Dialogs(int argc, char** argv) {
    if (argc < 3) return Usage();
    hostsim::WalkOptions options;
    for (int i = 3; i < argc; i++) {
        double v = 0.0;
        if (strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            if (!ParseNumber(argv[++i], &v) || v <= 0.0 || v != floor(v)) return Usage();
            options.onlyMenuId = static_cast<int>(v);
        } else if (strcmp(argv[i], "--hold") == 0 && i + 1 < argc) {
            if (!ParseNumber(argv[++i], &v) || v < 0.0 || v > 3600.0) return Usage();
            options.holdSeconds = v;
        } else if (strcmp(argv[i], "--fit") == 0) {
            options.fit = true;
        } else {
            return Usage();
        }
    }
    options.listing = stdout;
    options.report = stderr;
    hostsim::Plugin plugin;
    if (!StartWithPlugin(argv[2], &plugin)) return 1;
    fputs(hostsim::BindingReport(plugin).c_str(), stdout);
    if (plugin.setupResult != 1) {
        hostsim::UnloadPlugin(&plugin);
        return 1;
    }
    hostsim::WalkResult result;
    int ok = hostsim::WalkDialogs(options, plugin.module, &result);
    printf("FinishVarnixDLL: %d\n", hostsim::FinishPlugin(&plugin));
    printf("stacked objects: %d created, %d deleted\n", hostsim::StackedObjectsCreated(),
           hostsim::StackedObjectsDeleted());
    if (options.fit) {
#ifdef _WIN32
        fprintf(stderr, "text fit: %d dialogs and templates, %d texts, %d clipped\n",
                result.measured, result.texts, result.clipped);
#else
        fprintf(stderr, "text fit: not measured, the Linux build draws no text\n");
#endif
    }
    return ok ? 0 : 1;
}

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) return Usage();
    if (strcmp(argv[1], "report") == 0) return Report(argc, argv);
    if (strcmp(argv[1], "classes") == 0) return Classes(argc, argv);
    if (strcmp(argv[1], "run") == 0) return Run(argc, argv);
    if (strcmp(argv[1], "dialog") == 0) return Dialog(argc, argv);
    if (strcmp(argv[1], "dialogs") == 0) return Dialogs(argc, argv);
    return Usage();
}
