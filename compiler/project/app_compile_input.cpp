#include "compiler/project/app_compile_input.h"

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/vars/hmi_vars.h"

#include <algorithm>
#include <set>

namespace qv::compile {
namespace {

std::vector<WindowSource> windowsOf(CEditorApp& app, const ObjectList& names, std::set<const CDrawDoc*>& seen)
{
    std::vector<WindowSource> out;
    for (const auto& entry : names) {
        WindowSource w;
        w.fileName = entry->m_strName;
        CDrawDoc* doc = app.FindDocByTitle(w.fileName);
        w.documentOpen = doc != nullptr;
        if (doc) {
            // A copy: the worker compiles it while the user may go on editing the document.
            w.storedBytes = doc->SerializeToBytes();
            w.objectCount = doc->m_objects.size();
            seen.insert(doc);
        }
        out.push_back(std::move(w));
    }
    return out;
}

std::uint16_t resolutionValue(int v) { return static_cast<std::uint16_t>(std::clamp(v, 0, 0xFFFF)); }

} // namespace

std::optional<CompileInput> takeCompileInput(CEditorApp& app)
{
    CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return std::nullopt;

    CompileInput in;
    in.projectFolder = app.m_strProjectDir;
    std::set<const CDrawDoc*> seen{project};
    in.screens = windowsOf(app, project->m_screenNames, seen);
    in.subWindows = windowsOf(app, project->m_subWindowNames, seen);
    in.projectBytes = project->SerializeToBytes();
    in.projectObjectCount = project->m_objects.size();
    for (const CDrawDoc* doc : app.GetDocManager().AllDocuments())
        if (!seen.count(doc))
            in.otherDocumentUnits += doc->m_objects.size() + 1;

    in.settings = project->m_ProjectSettings;
    for (std::size_t i = 0; i < in.serialParameters.size(); ++i)
        in.serialParameters[i] = project->m_serial[i];
    in.runBlock = project->m_TouchCalibration;
    in.width = resolutionValue(app.m_nResWidth);
    in.height = resolutionValue(app.m_nResHeight);

    in.variables = project->m_varTable;
    in.variableMemory = app.m_VarMem.snapshot();
    in.variableExtent = static_cast<std::uint32_t>(std::clamp<std::int64_t>(GetVariableMemorySize(app) / 2, 0, 0x10000));
    for (std::size_t i = 0; i < in.systemVariableAddresses.size(); ++i) {
        std::int32_t address = -1;
        std::uint8_t type = 0;
        GetVariableAddress(app, project->SettingI32(4 + 4 * i), address, type);
        in.systemVariableAddresses[i] = address;
    }
    return in;
}

} // namespace qv::compile
