// Module classes the plug-in registers, and the blocks made of them.
#include "hostsim/internal.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <map>
#include <memory>
#include <set>

namespace hostsim {

namespace {

struct BlockState {
    std::vector<std::unique_ptr<ModuleClass>> classes;
    std::vector<Block*> blocks;
    std::vector<DefaultActionCall> defaultCalls;
    int defaultAnswer = 0;
    std::vector<GlvoNotifyRecord> notifications;
    std::vector<ReleasedBlock> released;
    // The blocks handed out, one per output channel, from
    // GetCurrentOutputBlock to the release: a block may take the blocks of
    // all its channels first.
    std::set<OutputChannel*> handedOut;
    // Each channel's block, kept between calls.
    std::map<OutputChannel*, std::vector<unsigned char>> blockOf;
    bool withhold = false;
    void (*creationAnswer)(HWND dialog) = nullptr;
};

BlockState& B() {
    static BlockState s;
    return s;
}

std::string Text(const char* p) {
    return p ? std::string(p) : std::string();
}

void BitmapSize(HBITMAP bitmap, int* width, int* height) {
    *width = *height = 0;
    BITMAP bm;
    if (bitmap && GetObjectA(bitmap, sizeof bm, &bm) == sizeof bm) {
        *width = static_cast<int>(bm.bmWidth);
        *height = static_cast<int>(bm.bmHeight);
    }
}

void Bounded(char* field, size_t size, const char* text) {
    snprintf(field, size, "%s", text ? text : "");
}

} // namespace

int WINAPI HostRegisterModuleClass(ModuleClassRecord* record) {
    if (record == nullptr || record->pszClassName == nullptr || record->uParamSize < 0 ||
        record->uRuntimeSize < 0 || record->uChannelDataSize < 0) {
        return 0;
    }
    std::unique_ptr<ModuleClass> c(new ModuleClass);
    c->record = *record;
    // The texts are copied now: the help-file name lives only during the call.
    c->className = Text(record->pszClassName);
    c->defaultName = Text(record->pszDefaultName);
    c->description = Text(record->pszDescription);
    c->helpFile = Text(record->pszHelpFile);
    c->record.pszClassName = c->className.c_str();
    c->record.pszDefaultName = c->defaultName.c_str();
    c->record.pszDescription = c->description.c_str();
    c->record.pszHelpFile = c->helpFile.c_str();
    BitmapSize(record->hbmIcon, &c->iconWidth, &c->iconHeight);
    BitmapSize(record->hbmSymbol, &c->symbolWidth, &c->symbolHeight);
    B().classes.push_back(std::move(c));
    return 1;
}

int RegisterClassRecord(ModuleClassRecord* record) {
    return HostRegisterModuleClass(record);
}

int WINAPI HostPerformDefaultAction(ModuleRecord* module, UINT msg, WPARAM wParam, LPARAM lParam) {
    B().defaultCalls.push_back({module, msg, wParam, lParam});
    // The host has no parameter schema of its own to offer.
    if (msg == MODMSG_GET_SCHEMA) return 0;
    return B().defaultAnswer;
}

int WINAPI HostChangeModuleSize(ModuleRecord* module, int inputs, int outputs) {
    Block* b = FindBlock(module);
    if (b == nullptr || inputs < 0 || inputs > 16 || outputs < 0 || outputs > 16) return 0;
    b->record.uInputs = static_cast<UINT>(inputs);
    b->record.uOutputs = static_cast<UINT>(outputs);
    return 1;
}

int WINAPI HostChangeModuleName(ModuleRecord* module, const char* name) {
    Block* b = FindBlock(module);
    if (b == nullptr || name == nullptr) return 0;
    Bounded(b->record.szName, sizeof b->record.szName, name);
    return 1;
}

int WINAPI HostCopyChannelName(OutputChannel* channel, const char* name) {
    if (channel == nullptr || name == nullptr) return 0;
    for (Block* b : B().blocks) {
        for (int i = 0; i < 16; i++) {
            if (&b->outputs[i] == channel) {
                Bounded(b->outputNames[i], sizeof b->outputNames[i], name);
                return 1;
            }
        }
    }
    return 0;
}

int WINAPI HostGlvoModuleNotifyGlobalVar(GlvoNotifyRecord* record) {
    if (record == nullptr) return 0;
    B().notifications.push_back(*record);
    return 1;
}

DataBlock* WINAPI HostGetCurrentOutputBlock(OutputChannel* channel) {
    BlockState& s = B();
    if (channel == nullptr || s.withhold) return nullptr;
    std::vector<unsigned char>& block = s.blockOf[channel];
    if (block.empty())
        block.resize(offsetof(DataBlock, afSamples) + OUTPUT_BLOCK_SAMPLES * sizeof(float));
    // The header and the samples the last block used start from zero; a
    // block of room for 65535 samples is not cleared whole at every call.
    DataBlock* d = reinterpret_cast<DataBlock*>(block.data());
    size_t used = offsetof(DataBlock, afSamples) + d->wSampleCount * sizeof(float);
    memset(block.data(), 0, used);
    s.handedOut.insert(channel);
    return d;
}

void WINAPI HostNewReleaseOutputBlock(OutputChannel* channel, const char*, int) {
    BlockState& s = B();
    if (channel == nullptr || s.handedOut.erase(channel) == 0) return;
    const std::vector<unsigned char>& block = s.blockOf[channel];
    const DataBlock* d = reinterpret_cast<const DataBlock*>(block.data());
    ReleasedBlock r;
    r.module = nullptr;
    r.output = -1;
    for (Block* b : s.blocks)
        for (int i = 0; i < 16; i++)
            if (&b->outputs[i] == channel) {
                r.module = &b->record;
                r.output = i;
            }
    r.time = d->dBlockTime;
    r.sampleDistance = d->dBlockSampleDistance;
    r.releasedAt = ExperimentTime();
    int n = d->wSampleCount;
    for (int i = 0; i < n; i++)
        r.samples.push_back(d->afSamples[i]);
    s.released.push_back(r);
    RouteReleasedOutput(r.module, r.output, d);
}

const std::vector<ReleasedBlock>& ReleasedOutputBlocks() {
    return B().released;
}

void WithholdOutputBlocks(bool withhold) {
    B().withhold = withhold;
}

void ResetBlocks() {
    BlockState& s = B();
    for (Block* b : s.blocks)
        FreeBlock(b);
    s.blocks.clear();
    SetCurrentModule(nullptr);
    s.classes.clear();
    s.defaultCalls.clear();
    s.defaultAnswer = 0;
    s.notifications.clear();
    s.released.clear();
    s.handedOut.clear();
    s.blockOf.clear();
    s.withhold = false;
    s.creationAnswer = nullptr;
}

int ClassCount() {
    return static_cast<int>(B().classes.size());
}

const ModuleClass* ClassAt(int index) {
    if (index < 0 || index >= ClassCount()) return nullptr;
    return B().classes[static_cast<size_t>(index)].get();
}

const ModuleClass* FindClassByName(const char* name) {
    if (name == nullptr) return nullptr;
    for (const auto& c : B().classes) {
        if (c->className == name) return c.get();
    }
    return nullptr;
}

const ModuleClass* FindClassByMenuId(int menuId) {
    for (const auto& c : B().classes) {
        if (c->record.uMenuId == menuId) return c.get();
    }
    return nullptr;
}

std::string ClassLine(const ModuleClass* c) {
    char symbol[32] = "none";
    if (c->symbolWidth) snprintf(symbol, sizeof symbol, "%dx%d", c->symbolWidth, c->symbolHeight);
    char icon[32] = "none";
    if (c->iconWidth) snprintf(icon, sizeof icon, "%dx%d", c->iconWidth, c->iconHeight);
    char line[512];
    snprintf(line, sizeof line,
             "%d %s sizes %d,%d,%d name \"%s\" description \"%s\" help %lu %s icon %s symbol %s",
             c->record.uMenuId, c->className.c_str(), c->record.uParamSize, c->record.uRuntimeSize,
             c->record.uChannelDataSize, c->defaultName.c_str(), c->description.c_str(),
             static_cast<unsigned long>(c->record.dwHelpContext), c->helpFile.c_str(), icon,
             symbol);
    return line;
}

std::string ClassesReport() {
    std::string out;
    for (const auto& c : B().classes)
        out += ClassLine(c.get()) + "\n";
    return out;
}

Block* MakeBlock(const ModuleClass* moduleClass) {
    if (moduleClass == nullptr) return nullptr;
    Block* b = new Block;
    memset(&b->record, 0, sizeof b->record);
    memset(b->outputs, 0, sizeof b->outputs);
    memset(b->outputNames, 0, sizeof b->outputNames);
    b->moduleClass = moduleClass;
    const ModuleClassRecord& r = moduleClass->record;
    // One byte at least, so every record has an address of its own.
    b->param.assign(static_cast<size_t>(r.uParamSize > 0 ? r.uParamSize : 1), 0);
    b->runtime.assign(static_cast<size_t>(r.uRuntimeSize > 0 ? r.uRuntimeSize : 1), 0);
    b->record.hwndModule = MainWindow();
    Bounded(b->record.szName, sizeof b->record.szName, moduleClass->defaultName.c_str());
    Bounded(b->record.szDescription, sizeof b->record.szDescription,
            moduleClass->description.c_str());
    b->record.pParam = b->param.data();
    b->record.pRuntime = b->runtime.data();
    for (int i = 0; i < 16; i++) {
        b->channelScan[i].assign(
            static_cast<size_t>(r.uChannelDataSize > 0 ? r.uChannelDataSize : 1), 0);
        b->record.apChannelScan[i] = b->channelScan[i].data();
        b->record.apOutput[i] = &b->outputs[i];
    }
    return b;
}

void FreeBlock(Block* block) {
    delete block;
}

void ReplaceBlocks(const std::vector<Block*>& blocks) {
    BlockState& s = B();
    // Each old block is told while it is still in the worksheet.
    for (Block* b : s.blocks)
        SendClassMessage(b, MODMSG_DELETE, 0, 0);
    for (Block* b : s.blocks)
        FreeBlock(b);
    s.blocks = blocks;
}

void CloseWorksheet() {
    ReplaceBlocks({});
}

int BlockCount() {
    return static_cast<int>(B().blocks.size());
}

Block* BlockAt(int index) {
    if (index < 0 || index >= BlockCount()) return nullptr;
    return B().blocks[static_cast<size_t>(index)];
}

Block* FindBlock(const ModuleRecord* module) {
    for (Block* b : B().blocks) {
        if (&b->record == module) return b;
    }
    return nullptr;
}

Block* CreateBlock(const ModuleClass* moduleClass, int* answer) {
    Block* b = MakeBlock(moduleClass);
    if (b == nullptr) {
        if (answer) *answer = 0;
        return nullptr;
    }
    B().blocks.push_back(b);
    void (*creation)(HWND) = B().creationAnswer;
    if (creation) QueueDialogStep(IDOK, creation);
    int a = SendClassMessage(b, MODMSG_CREATE, 0, 0);
    // A class that asks nothing leaves the step waiting.
    if (creation) CancelDialogStep();
    if (answer) *answer = a;
    if (a == 0) {
        B().blocks.pop_back();
        FreeBlock(b);
        return nullptr;
    }
    return b;
}

void AnswerCreationDialogs(void (*answer)(HWND dialog)) {
    B().creationAnswer = answer;
}

void DeleteBlock(Block* block) {
    BlockState& s = B();
    for (size_t i = 0; i < s.blocks.size(); i++) {
        if (s.blocks[i] == block) {
            SendClassMessage(block, MODMSG_DELETE, 0, 0);
            s.blocks.erase(s.blocks.begin() + static_cast<long>(i));
            FreeBlock(block);
            return;
        }
    }
}

int SendClassMessage(Block* block, int msg, int wParam, int lParam) {
    if (block == nullptr || block->moduleClass->record.pfnClassProc == nullptr) return 0;
    SetCurrentModule(&block->record);
    return block->moduleClass->record.pfnClassProc(&block->record, msg, wParam, lParam);
}

int ProcessBlock(Block* block) {
    if (block == nullptr || block->moduleClass->record.pfnProcess == nullptr) return 0;
    return block->moduleClass->record.pfnProcess(&block->record);
}

const std::vector<DefaultActionCall>& DefaultActionCalls() {
    return B().defaultCalls;
}

void SetDefaultActionAnswer(int answer) {
    B().defaultAnswer = answer;
}

const std::vector<GlvoNotifyRecord>& GlobalVarNotifications() {
    return B().notifications;
}

} // namespace hostsim
