// The creation defaults with the application as their host.
#include "model/app/editor_app.h"
#include "model/document/ui_prompts.h"
#include "model/params/kind_defaults.h"
#include "model/params/user_picture.h"
#include "model/vars/hmi_vars.h"

namespace qv {

namespace {

class AppKindDefaultsHost final : public KindDefaultsHost {
public:
    explicit AppKindDefaultsHost(CEditorApp& app) : app_(app) {}

    AddVarOutcome FindOrAddHmiVar(std::string_view type, std::string_view name, std::string_view initial,
                                  std::string_view description) override
    {
        AddVarOutcome outcome;
        outcome.row = qv::FindOrAddHmiVar(app_, type, name, initial, description, &outcome.created, &outcome.errorGbk);
        return outcome;
    }
    VarBinding ResolveVar(std::int32_t row) override
    {
        const CDrawDoc* project = app_.ProjectDoc();
        return project ? varBindingOf(project->m_varTable, row) : VarBinding{};
    }
    std::string CopyUserPicture(std::string_view storedSource) override { return qv::CopyUserPicture(app_, storedSource); }
    void RebuildSimulation() override { app_.RequestSimulationRebuild(); }
    void WriteSysVarHeader() override { documentEnvironment().WriteSysVarHeader(); }
    void ShowError(std::string_view messageGbk) override { app_.Prompt().ShowMessage(messageGbk, UiPrompts::Icon::Error); }

private:
    CEditorApp& app_;
};

} // namespace

KindDefaultsOutcome SetKindDefaults(CDrawObj& obj, CEditorApp& app)
{
    AppKindDefaultsHost host(app);
    return applyKindDefaults(obj, host);
}

} // namespace qv
