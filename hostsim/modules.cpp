// The modules a worksheet's blocks talk to, so that a script can serve every
// one of them with the module simulator: each block's port and addresses come
// from its own fields, its type (the menu id of its class, the same in every
// family) gives a model the type accepts at its start.
#include "hostsim/internal.h"

#include <stdio.h>

namespace hostsim {

namespace {

// The model the simulator serves for the blocks of each type.
struct SimulatedModel {
    int menuId;
    const char* type;
    const char* model;
};
const SimulatedModel kSimulatedModels[] = {
    {2991, "ND6005", "7005"},  {2995, "ND6005I", "7005"}, {2950, "ND6011", "6011"},
    {2951, "ND6011P", "7011"}, {2952, "ND6012", "6012"},  {2953, "ND6013", "7013"},
    {2989, "ND6014", "6014"},  {2988, "ND6015", "7015"},  {2987, "ND6016", "6016"},
    {2954, "ND6017", "6017"},  {2955, "ND6018", "6018"},  {2956, "ND6018P", "7018"},
    {2992, "ND6019", "7019"},  {2957, "ND6021", "7021"},  {2967, "ND6022", "7022"},
    {2968, "ND6024", "7024"},  {2969, "ND6024I", "7024"}, {2970, "ND6033", "7033"},
    {2978, "ND6041I", "7041"}, {2979, "ND6042O", "7042"}, {2980, "ND6043O", "7043"},
    {2976, "ND6044I", "7044"}, {2977, "ND6044O", "7044"}, {2958, "ND6050I", "7050"},
    {2959, "ND6050O", "7050"}, {2960, "ND6052", "6052"},  {2972, "ND6053", "7053"},
    {2973, "ND6054", "6054"},  {2996, "ND6055I", "7055"}, {2997, "ND6055O", "7055"},
    {2974, "ND6056", "6056"},  {2975, "ND6058", "6058"},  {2961, "ND6060I", "7060"},
    {2962, "ND6060O", "7060"}, {2971, "ND6063", "7063"},  {2990, "ND6063I", "7063"},
    {2963, "ND6065I", "7065"}, {2964, "ND6065O", "7065"}, {2981, "ND6067", "7067"},
    {2965, "ND6080", "6080"},  {2994, "ND6751", "87051"}, {2993, "ND6757O", "87057"},
};

const char* SimulatedModelOf(int menuId) {
    for (const SimulatedModel& m : kSimulatedModels)
        if (m.menuId == menuId) return m.model;
    return nullptr;
}

// The addresses a block's fields name: its module's, or one per channel for
// a type that drives a module per input; none for a block of a hardware
// module whose master talks to it.
int BlockAddresses(Block* block, std::vector<int>* out, std::string* error) {
    out->clear();
    long long value = 0;
    if (BlockIntegerField(block, "IsMaster", &value) && value == 0) return 1;
    if (BlockIntegerField(block, "Module_Address", &value)) {
        out->push_back(static_cast<int>(value));
        return 1;
    }
    UINT channels = block->record.uInputs > block->record.uOutputs ? block->record.uInputs
                                                                   : block->record.uOutputs;
    for (UINT i = 0; i < channels && i < 16; i++) {
        if (!BlockIntegerField(block, "Module_Address[" + std::to_string(i) + "]", &value)) break;
        out->push_back(static_cast<int>(value));
    }
    if (out->empty()) {
        *error = std::string("block \"") + block->record.szName + "\" names no module address";
        return 0;
    }
    return 1;
}

} // namespace

int WorksheetModules(std::vector<WorksheetModule>* out, std::string* error) {
    out->clear();
    for (int b = 0; b < BlockCount(); b++) {
        Block* block = BlockAt(b);
        std::string name = block->record.szName;
        std::vector<int> addresses;
        if (!BlockAddresses(block, &addresses, error)) return 0;
        if (addresses.empty()) continue;
        long long port = 0;
        if (!BlockIntegerField(block, "Port_Number", &port)) {
            *error = "block \"" + name + "\" names no port";
            return 0;
        }
        const char* model = SimulatedModelOf(static_cast<int>(block->moduleClass->record.uMenuId));
        if (model == nullptr) {
            *error = "block \"" + name + "\": no simulated model for its type (menu id " +
                     std::to_string(block->moduleClass->record.uMenuId) + ")";
            return 0;
        }
        for (int address : addresses) {
            WorksheetModule* found = nullptr;
            for (WorksheetModule& m : *out)
                if (m.port == port && m.address == address) found = &m;
            if (found == nullptr) {
                WorksheetModule m;
                m.port = static_cast<int>(port);
                m.address = address;
                m.model = model;
                m.blocks.push_back(name);
                out->push_back(m);
            } else if (found->model != model) {
                *error = "COM" + std::to_string(port) + " address " + std::to_string(address) +
                         ": block \"" + name + "\" takes a " + model + ", block \"" +
                         found->blocks[0] + "\" a " + found->model;
                return 0;
            } else if (found->blocks.back() != name) {
                found->blocks.push_back(name);
            }
        }
    }
    return 1;
}

} // namespace hostsim
