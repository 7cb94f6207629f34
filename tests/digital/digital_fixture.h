// The digital types of the shipped plug-in in the stand-in host: a copy of
// Telvio.so under the file name of a family, bound by hostsim, its blocks
// created by their menu commands and run through the host's experiment
// against simulated modules on a pseudo-terminal mapped to COM1.
#ifndef TESTS_DIGITAL_FIXTURE_H
#define TESTS_DIGITAL_FIXTURE_H

#include "bus_fixture.h"

#include "modules/digital/digital.h"

#include <stdio.h>

#include <string>
#include <vector>

namespace digitaltest {

// A digital type as the tests know it.
struct TypeInfo {
    const char* type;
    int menu;
    const char* plugin; // a file name that selects a family registering it
};

// The file name of each family's copy of the plug-in.
const char kTelv[] = "Telvio.so";
const char kDefault[] = "ndxx.so";
const char kXX03[] = "xx03.so";
const char kXX01[] = "xx01.so";
const char kXX04[] = "xx04.so";
const char kXX05[] = "xx05.so";

// The line block channel j carries: the j-th set bit of the mask.
inline int Line(WORD mask, int j) {
    for (int c = 0; c < 16; c++)
        if ((mask >> c) & 1 && j-- == 0) return c;
    return -1;
}

class DigitalTest : public telviotest::BusTest {
  protected:
    static DigitalParam* P(hostsim::Block* b) {
        return reinterpret_cast<DigitalParam*>(b->param.data());
    }
    static TemplateRuntime* R(hostsim::Block* b) {
        return reinterpret_cast<TemplateRuntime*>(b->runtime.data());
    }
    static int Bits(WORD mask) {
        int n = 0;
        for (int c = 0; c < 16; c++)
            n += (mask >> c) & 1;
        return n;
    }

    // A new block of the type's menu command, on the module at `address`,
    // with the channels of `mask` and its own sample distance.
    hostsim::Block* NewBlock(int menu, int address, WORD mask, double sampleDistance = 0.5) {
        hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(menu));
        if (b == nullptr) return nullptr;
        P(b)->Module_Address = address;
        P(b)->Channel_Mask = mask;
        P(b)->Mess.Sample_Distance = sampleDistance;
        P(b)->Mess.Error_Stop = 1;
        if (b->record.uOutputs > 0)
            b->record.uOutputs = static_cast<UINT>(Bits(mask));
        else
            b->record.uInputs = static_cast<UINT>(Bits(mask));
        return b;
    }

    // MODMSG_CHECK_LAYOUT of block `b` for another block of `own` channels of b's
    // kind (outputs of an input type, inputs of an output type) and `foreign`
    // of the other kind.
    static int Layout(hostsim::Block* b, hostsim::Block* other, int output, UINT own,
                      UINT foreign) {
        other->record.uOutputs = output ? foreign : own;
        other->record.uInputs = output ? own : foreign;
        return hostsim::SendClassMessage(b, MODMSG_CHECK_LAYOUT, 0,
                                         reinterpret_cast<LPARAM>(&other->record));
    }
    // MODMSG_CHECK_LAYOUT accepts 1 to `most` channels of the block's kind and none of
    // the other (`more`: also most + 1).
    static void ExpectLayout(hostsim::Block* b, hostsim::Block* other, int output, int most,
                             int more) {
        const UINT n = static_cast<UINT>(most);
        EXPECT_EQ(1, Layout(b, other, output, 1, 0));
        EXPECT_EQ(1, Layout(b, other, output, n, 0));
        EXPECT_EQ(more, Layout(b, other, output, n + 1, 0));
        EXPECT_EQ(0, Layout(b, other, output, 1, 1));
        EXPECT_EQ(0, Layout(b, other, output, 0, 0));
    }
    // The block's schema and its rows before the all-zero end row.
    static const ParamSchemaEntry* Schema(hostsim::Block* b, int* rows) {
        const ParamSchemaEntry* schema = reinterpret_cast<const ParamSchemaEntry*>(
            hostsim::SendClassMessage(b, MODMSG_GET_SCHEMA, 0, 0));
        *rows = 0;
        while (schema && schema[*rows].name)
            ++*rows;
        return schema;
    }
    // The worksheet saved as text with the first block's Version set to
    // `version` and loaded again: the block refuses it.
    // The worksheet saved and loaded again with the block's Version changed.
    void ReloadWithVersion(const char* version) {
        std::string text, error;
        ASSERT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
        size_t at = text.find("field Version int = 1");
        ASSERT_NE(std::string::npos, at);
        text.replace(at, 21, std::string("field Version int = ") + version);
        ASSERT_EQ(1, hostsim::WorksheetFromText(text, &error)) << error;
    }
    void ExpectVersionTaken(const char* version) {
        size_t warnings = hostsim::Warnings().size();
        ReloadWithVersion(version);
        EXPECT_EQ(1, hostsim::BlockAt(0)->afterLoadAnswer);
        EXPECT_EQ(warnings, hostsim::Warnings().size());
    }
    void ExpectOldFormatRefused(const char* version) {
        ReloadWithVersion(version);
        EXPECT_EQ(0, hostsim::BlockAt(0)->afterLoadAnswer);
        ASSERT_NE(nullptr, LastWarning());
        EXPECT_EQ("Error", LastWarning()->caption);
        EXPECT_EQ("Old module format (not supported)", LastWarning()->text);
    }
    static std::string Hex(unsigned v, int digits) {
        char text[16];
        snprintf(text, sizeof text, "%0*X", digits, v);
        return text;
    }
};

// The texts of the start failures.
using telviotest::kCommProblem;
using telviotest::kNoReply;
using telviotest::kUsesChecksums;
using telviotest::kWrongModule;

} // namespace digitaltest

#endif
