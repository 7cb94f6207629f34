// The class procedure of the module-type template.
#include "frame/template.h"

#include "frame/fields.h"
#include "frame/lifecycle.h"
#include "frame/start.h"
#include "host/host.h"

#include <stdint.h>

int TemplateClassProc(const TemplateType* type, ModuleRecord* module, int msg, int wParam,
                      int lParam) {
    int input = type->form == TEMPLATE_INPUT_FORM;
    int output = type->form == TEMPLATE_OUTPUT_FORM;
    int exchange = input || output;
    switch (msg) {
    case MODMSG_QUERY1: return 1;
    case MODMSG_CHECK_LAYOUT:
        if (!exchange) break;
        return TemplateCheckChannelLayout(type, reinterpret_cast<ModuleRecord*>(lParam));
    case MODMSG_CREATE: return TemplateCreateDefaults(type, module);
    case MODMSG_DELETE: return TemplateDeleteModule(module);
    case MODMSG_SETUP_DIALOG: return TemplateShowSetupDialog(type, module, msg, wParam, lParam);
    case MODMSG_REFRESH_PARAMS: return TemplateRefreshComSettings(type, module);
    case MODMSG_AFTER_LOAD: return TemplateAfterLoad(type, module);
    case MODMSG_START: return TemplateStartMeasurement(type, module);
    case MODMSG_STOP: return TemplateStopMeasurement(module, type);
    case MODMSG_ACTION_SUPPORTED:
    case MODMSG_ACTION119:
    case MODMSG_ACTION_DESCRIBE: return 0;
    case MODMSG_ACTION_PERFORM:
    case MODMSG_ACTION120:
    case MODMSG_ACTION121:
    case MODMSG_ACTION122:
    case MODMSG_ACTION123: return 1;
    case MODMSG_QUERY128: return 1;
    case MODMSG_OUTPUT_NAMES:
        if (input) TemplateOutputNames(type, module);
        break;
    case MODMSG_INPUT_NAME:
        if (!output) break;
        TemplateInputName(type, module, wParam, reinterpret_cast<const char*>(lParam),
                          TEMPLATE_CHANNELS);
        break;
    case MODMSG_SET_NAME_COPY:
        if (!output) break;
        TemplateSetNameCopy(type, module, wParam, TEMPLATE_CHANNELS);
        break;
    case MODMSG_GET_SCHEMA: return static_cast<int>(reinterpret_cast<uintptr_t>(type->schema));
    case MODMSG_EXPORT_NAMES:
        if (!exchange) break;
        return TemplateExportChannelNames(type, module, reinterpret_cast<ModuleRecord*>(lParam));
    case MODMSG_IMPORT_NAMES:
        if (!exchange) break;
        return TemplateImportChannelNames(type, module, reinterpret_cast<ModuleRecord*>(lParam));
    case MODMSG_REPORT_GLOBALS: return TemplateReportGlobalVars(type, module, lParam);
    case MODMSG_QUERY172: return exchange ? 1 : 0;
    case MODMSG_CHANNEL_TIMING: return TemplateSetChannelTiming(type, module, wParam);
    case MODMSG_GET_UNIT:
        if (!input) break;
        if (wParam < 0 || wParam >= TEMPLATE_CHANNELS || type->unitOffset < 0) return 0;
        return static_cast<int>(
            reinterpret_cast<uintptr_t>(TemplateUnitIn(type, module->pParam, wParam)));
    default: break;
    }
    return PerformDefaultAction(module, msg, wParam, lParam);
}
