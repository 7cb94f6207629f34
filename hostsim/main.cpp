// hostsim: loads a plug-in as the host program does and reports what it did.
//   hostsim report PLUGIN [--command ID]   bind, print the binding, finish
//   hostsim classes PLUGIN                 bind, print the registered classes
//   hostsim dialog PLUGIN MENU_ID          open a new block's setup dialog,
//                                          print its controls, OK
//   hostsim dialogs PLUGIN... [--only MENU_ID] [--hold SECONDS] [--fit]
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
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

#ifdef _WIN32
const char kPluginName[] = "Telvio.dll";
#else
const char kPluginName[] = "Telvio.so";
#endif

// The commands and options, for --help.
void Help() {
    printf("usage: hostsim report PLUGIN [--command ID]\n"
           "       hostsim classes PLUGIN\n"
           "       hostsim dialog PLUGIN MENU_ID\n"
           "       hostsim dialogs PLUGIN... [--only MENU_ID] [--hold SECONDS] [--fit]\n"
           "       hostsim run WORKSHEET --seconds N [--csv [--units]] [--table] [--plugin PATH]\n"
           "                   [--global-ms X] [--block-size N] [--hold SECONDS] [--monitor]\n"
           "                   [--timing] [--no-monitor]\n"
           "       hostsim modules WORKSHEET [--plugin PATH] [--port N]\n"
           "       hostsim --help\n"
           "  report: binds the plug-in, prints the binding, chooses a menu command.\n"
           "  classes: one line per module class the plug-in registered.\n"
           "  dialog: the setup dialog of a new block of the class with that menu id.\n"
           "  dialogs: every dialog of each plug-in in turn (copies under the names of\n"
           "  the families walk every family), listed, and checked for controls that\n"
           "  overlap or lie outside their dialog or group box; --only walks one class\n"
           "  (given again, one more),\n"
           "  --hold keeps each shown for a picture, --fit measures the texts (Windows\n"
           "  build).\n"
           "  run: one line per channel; --table adds every sample, --csv prints them as\n"
           "  CSV (the rest goes to standard error; --units adds each channel's unit);\n"
           "  --hold shows the RS-232 monitor at the end; --monitor lists the monitor's\n"
           "  lines. The plug-in defaults to %s beside\n"
           "  hostsim; the driver INI file XX02.ini is read from hostsim's folder.\n"
           "  --global-ms and --block-size are the global sample distance (ms, default\n"
           "  1000) and block size (1..65535, default 1). --timing times every processing\n"
           "  call and prints the longest and the median of the calls that found nothing\n"
           "  to do; --no-monitor leaves the RS-232 monitor off (the host reads it every\n"
           "  second otherwise). A message box the plug-in shows is answered with its\n"
           "  default button and listed.\n"
           "  modules: the modules the worksheet's blocks talk to, one line each (port,\n"
           "  address:model, blocks); with --port N the module simulator's arguments\n"
           "  that serve them (--module ADDR:MODEL ...), failing when a block is on\n"
           "  another port.\n"
           "  Answers 0 when done, 1 when it failed, 2 for bad usage.\n"
#ifndef _WIN32
           "environment: TELVIO_COM_DIR names the folder whose links com1 to com16 are\n"
           "  the serial devices COM1 to COM16 (a device, or a pseudo-terminal of modsim).\n"
#endif
           ,
           kPluginName);
}

// A wrong command line: what is wrong, and where the usage is.
int Wrong(const std::string& what) {
    fprintf(stderr, "hostsim: %s (hostsim --help shows the usage)\n", what.c_str());
    return 2;
}

int UnknownOption(const char* command, const char* option) {
    return Wrong(std::string(command) + ": unknown option or argument \"" + option + "\"");
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
    if (argc < 3) return Wrong("report needs the plug-in: hostsim report PLUGIN");
    const char* path = argv[2];
    UINT command = 0;
    for (int i = 3; i < argc; i++) {
        if (strcmp(argv[i], "--command") == 0 && i + 1 < argc) {
            command = static_cast<UINT>(strtoul(argv[++i], nullptr, 10));
        } else {
            return UnknownOption("report", argv[i]);
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
    if (argc != 3) return Wrong("classes takes the plug-in alone: hostsim classes PLUGIN");
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

// What the run keeps of the delivered data for the table at its end: every
// released data block with its samples, each block's samples one heap
// allocation (counted with a word of bookkeeping, rounded to 8 bytes). A
// long run grows by this much and no more.
void PrintKept(FILE* out) {
    const std::vector<hostsim::ReleasedBlock>& blocks = hostsim::ReleasedOutputBlocks();
    unsigned long long samples = 0;
    unsigned long long bytes = blocks.capacity() * sizeof(hostsim::ReleasedBlock);
    for (const hostsim::ReleasedBlock& b : blocks) {
        samples += b.samples.size();
        if (b.samples.capacity() > 0)
            bytes += (b.samples.capacity() * sizeof(float) + 4 + 7) / 8 * 8;
    }
    fprintf(out, "kept for the table: %u data blocks, %llu samples, %llu bytes\n",
            static_cast<unsigned>(blocks.size()), samples, bytes);
}

// The message boxes the plug-in showed and the host answered; with `always`
// also when there were none.
void PrintMessageBoxes(FILE* out, bool always) {
    std::vector<hostsim::AnsweredBox> boxes = hostsim::AnsweredMessageBoxes();
    if (boxes.empty()) {
        if (always) fprintf(out, "message boxes: none\n");
        return;
    }
    fprintf(out, "message boxes: %u, each answered with its default button\n",
            static_cast<unsigned>(boxes.size()));
    for (const hostsim::AnsweredBox& b : boxes)
        fprintf(out, "  %s: %s -> %s\n", Display(b.caption).c_str(),
                Display(OneLine(b.text)).c_str(), hostsim::ButtonName(b.answer));
}

struct Channel {
    std::string block, name, unit;
    std::vector<double> times;
    std::vector<float> values;
};

// The unit of a block's output channel, as its type tells it (MODMSG_GET_UNIT
// with the channel the output carries): a text inside the block's parameter
// record, or none.
std::string OutputUnit(hostsim::Block* block, UINT output) {
    int channel = block->record.aiOutputChannel[output] - 1;
    if (channel < 0 || channel > 15 || block->param.empty()) return "";
    int answer = hostsim::SendClassMessage(block, MODMSG_GET_UNIT, channel, 0);
    const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(answer));
    const char* begin = reinterpret_cast<const char*>(block->param.data());
    const char* end = begin + block->param.size();
    if (text < begin || text >= end) return "";
    return std::string(text,
                       strnlen(text, static_cast<size_t>(std::min<ptrdiff_t>(end - text, 64))));
}

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
            c.unit = OutputUnit(block, k);
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

// With `units` a fifth column holds the channel's unit.
void PrintCsv(const std::vector<Channel>& channels, bool units) {
    printf("block,channel,time,value%s\n", units ? ",unit" : "");
    for (const Channel& c : channels)
        for (size_t i = 0; i < c.values.size(); i++)
            printf("%s,%s,%.3f,%.4f%s%s\n", CsvField(Display(c.block)).c_str(),
                   CsvField(Display(c.name)).c_str(), c.times[i], static_cast<double>(c.values[i]),
                   units ? "," : "", units ? CsvField(Display(c.unit)).c_str() : "");
}

int Run(int argc, char** argv) {
    if (argc < 3 || argv[2][0] == '-')
        return Wrong("run needs the worksheet first: hostsim run WORKSHEET --seconds N");
    const char* worksheet = argv[2];
    double seconds = -1.0;
    bool csv = false;
    bool units = false;
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
        } else if (strcmp(a, "--units") == 0) {
            units = true;
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
            return UnknownOption("run", a);
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
    if (csv) PrintCsv(channels, units);
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

    PrintMessageBoxes(info, true);
    PrintKept(info);

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

// The modules the worksheet's blocks talk to (see WorksheetModules).
int Modules(int argc, char** argv) {
    if (argc < 3 || argv[2][0] == '-')
        return Wrong("modules needs the worksheet first: hostsim modules WORKSHEET");
    const char* worksheet = argv[2];
    std::string pluginPath;
    int port = 0;
    for (int i = 3; i < argc; i++) {
        double v = 0.0;
        if (strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
            pluginPath = argv[++i];
        } else if (strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            if (!ParseNumber(argv[++i], &v) || v < 1.0 || v > 16.0 || v != floor(v))
                return Wrong("modules: --port takes a port number from 1 to 16");
            port = static_cast<int>(v);
        } else {
            return UnknownOption("modules", argv[i]);
        }
    }
    if (pluginPath.empty()) pluginPath = DefaultPlugin();
    hostsim::Plugin plugin;
    if (!StartWithPlugin(pluginPath.c_str(), &plugin)) return 1;
    if (plugin.setupResult != 1) {
        fprintf(stderr, "hostsim: SetupVarnixDLL answered %d\n", plugin.setupResult);
        hostsim::UnloadPlugin(&plugin);
        return 1;
    }
    std::string error;
    std::vector<hostsim::WorksheetModule> modules;
    int ok =
        hostsim::LoadWorksheet(worksheet, &error) && hostsim::WorksheetModules(&modules, &error);
    if (ok && port != 0) {
        for (const hostsim::WorksheetModule& m : modules) {
            if (m.port == port) continue;
            error = "block \"" + m.blocks[0] + "\" is on COM" + std::to_string(m.port) +
                    ", not on COM" + std::to_string(port);
            ok = 0;
        }
    }
    if (!ok) {
        fprintf(stderr, "hostsim: %s\n", error.c_str());
        hostsim::FinishPlugin(&plugin);
        return 1;
    }
    std::string line;
    for (const hostsim::WorksheetModule& m : modules) {
        std::string module = std::to_string(m.address) + ":" + m.model;
        if (port != 0) {
            line += (line.empty() ? "" : " ") + std::string("--module ") + module;
            continue;
        }
        std::string names;
        for (const std::string& b : m.blocks)
            names += (names.empty() ? "" : ", ") + Display(b);
        printf("COM%d %s %s\n", m.port, module.c_str(), names.c_str());
    }
    if (port != 0) printf("%s\n", line.c_str());
    hostsim::FinishPlugin(&plugin);
    return 0;
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
    if (argc != 4)
        return Wrong("dialog takes the plug-in and a menu id: hostsim dialog PLUGIN MENU_ID");
    char* end = nullptr;
    long menuId = strtol(argv[3], &end, 10);
    if (!end || *end || menuId <= 0)
        return Wrong(std::string("dialog: no menu id \"") + argv[3] + "\"");
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
    if (argc < 3 || argv[2][0] == '-')
        return Wrong("dialogs needs the plug-in: hostsim dialogs PLUGIN...");
    hostsim::WalkOptions options;
    std::vector<const char*> plugins;
    for (int i = 2; i < argc; i++) {
        double v = 0.0;
        if (strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            if (!ParseNumber(argv[++i], &v) || v <= 0.0 || v != floor(v))
                return Wrong("dialogs: --only takes a menu id");
            options.onlyMenuIds.push_back(static_cast<int>(v));
        } else if (strcmp(argv[i], "--hold") == 0 && i + 1 < argc) {
            if (!ParseNumber(argv[++i], &v) || v < 0.0 || v > 3600.0)
                return Wrong("dialogs: --hold takes seconds from 0 to 3600");
            options.holdSeconds = v;
        } else if (strcmp(argv[i], "--fit") == 0) {
            options.fit = true;
        } else if (argv[i][0] == '-') {
            return UnknownOption("dialogs", argv[i]);
        } else {
            plugins.push_back(argv[i]);
        }
    }
    options.listing = stdout;
    options.report = stderr;
    // Each plug-in in turn, in one run: copies of one plug-in under the
    // names of the families walk every family's types. The templates are
    // the same in every copy; their texts are measured once.
    hostsim::WalkResult total;
    int ok = 1;
    for (size_t p = 0; p < plugins.size(); p++) {
        hostsim::Plugin plugin;
        if (!StartWithPlugin(plugins[p], &plugin)) return 1;
        fputs(hostsim::BindingReport(plugin).c_str(), stdout);
        if (plugin.setupResult != 1) {
            hostsim::UnloadPlugin(&plugin);
            return 1;
        }
        hostsim::WalkResult result;
        options.templates = p == 0;
        ok &= hostsim::WalkDialogs(options, plugin.module, &result);
        printf("FinishVarnixDLL: %d\n", hostsim::FinishPlugin(&plugin));
        printf("stacked objects: %d created, %d deleted\n", hostsim::StackedObjectsCreated(),
               hostsim::StackedObjectsDeleted());
        total.measured += result.measured;
        total.texts += result.texts;
        total.clipped += result.clipped;
        total.broken += result.broken;
        total.laidOut += result.laidOut;
        total.layoutFaults += result.layoutFaults;
    }
    PrintMessageBoxes(stdout, false);
    fprintf(stderr, "layout total: %d dialogs, %d faults\n", total.laidOut, total.layoutFaults);
    if (options.fit) {
#ifdef _WIN32
        fprintf(stderr, "text fit: %d dialogs and templates, %d texts, %d clipped, %d broken\n",
                total.measured, total.texts, total.clipped, total.broken);
#else
        fprintf(stderr, "text fit: not measured, the Linux build draws no text\n");
#endif
    }
    return ok ? 0 : 1;
}

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    // Nobody sits at this host: a box the plug-in shows is answered.
    hostsim::AnswerMessageBoxes(true);
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            Help();
            return 0;
        }
    }
    if (argc < 2) return Wrong("no command");
    if (strcmp(argv[1], "report") == 0) return Report(argc, argv);
    if (strcmp(argv[1], "classes") == 0) return Classes(argc, argv);
    if (strcmp(argv[1], "run") == 0) return Run(argc, argv);
    if (strcmp(argv[1], "dialog") == 0) return Dialog(argc, argv);
    if (strcmp(argv[1], "dialogs") == 0) return Dialogs(argc, argv);
    if (strcmp(argv[1], "modules") == 0) return Modules(argc, argv);
    return Wrong(std::string("unknown command \"") + argv[1] + "\"");
}
