#pragma once
// What the project tree adds to every new project after its first screen: the special
// sub-windows of "images\SpecialWindow\". The tree's commands install themselves
// (CEditorApp::SetNewProjectSteps), so the model's new-project road needs no tree.
namespace qv {

class NewProjectSteps {
public:
    virtual ~NewProjectSteps() = default;
    // The project, its folders and its first screen stand; what a step cannot do is told
    // in the output bar (the new project is usable without it).
    virtual void NewProjectCreated() = 0;
};

} // namespace qv
