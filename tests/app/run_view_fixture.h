#pragma once
// The simulator's run-mode view (with its driver) over the view fixture's project, the run
// time installed; shown offscreen, active, not scrolled (client points are document points).
#include "app/view/run_mode_driver.h"
#include "sim/runtime/sim_runtime.h"
#include "tests/app/view_fixture.h"

namespace qv::test {

class RunViewFixture : public ViewFixture {
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        ASSERT_FALSE(HasFailure());
        view.reset(); // the editing view of the fixture is not needed here
        runtime = std::make_unique<sim::SimRuntime>(*app);
        app->SetSimulationServices(runtime.get());
    }
    // Call once the test's windows and seams are in place.
    void showSimulator()
    {
        CDrawDoc* sim = app->FindDocByTitle(CEditorApp::kSimulatorTitle);
        ASSERT_NE(sim, nullptr);
        simView = std::make_unique<CDrawView>(*app, sim, true);
        driver = new RunModeDriver(*app, *simView); // a child of the view
        simView->resize(1000, 640);
        simView->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(simView.get()));
        simView->SetActive(true);
    }
    void TearDown() override
    {
        simView.reset();
        app->SetSimulationServices(nullptr);
        runtime.reset();
        ViewFixture::TearDown();
    }

    std::unique_ptr<sim::SimRuntime> runtime;
    std::unique_ptr<CDrawView> simView;
    RunModeDriver* driver = nullptr;
};

} // namespace qv::test
