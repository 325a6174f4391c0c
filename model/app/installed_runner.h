#pragma once
// The one runner of a command of the application object, installed by the window side for
// one application at a time. The GUI thread installs, removes and calls it; no other thread
// touches it.
namespace qv {

class CEditorApp;

template <class Runner>
class InstalledRunner {
public:
    // nullptr removes `app`'s runner; another application's runner stays.
    static void Set(CEditorApp& app, Runner* runner)
    {
        Slot& s = slot();
        if (runner == nullptr && s.app != &app)
            return;
        s = runner ? Slot{&app, runner} : Slot{};
    }
    static Runner* Get(const CEditorApp& app)
    {
        const Slot& s = slot();
        return s.app == &app ? s.runner : nullptr;
    }

private:
    struct Slot {
        const CEditorApp* app = nullptr;
        Runner* runner = nullptr;
    };
    static Slot& slot()
    {
        static Slot s;
        return s;
    }
};

} // namespace qv
