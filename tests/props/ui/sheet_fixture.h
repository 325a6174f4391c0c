#pragma once
// An editing view with the application's property sheets installed: double clicks open
// them, and a test acts on the modal sheet once it is shown.
#include "app/mainframe/property_sheet.h"
#include "app/bindings/properties/props_commands.h"
#include "app/drawing_tools/object_properties.h"
#include "tests/app/view_fixture.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QTimer>

#include <functional>

namespace qv::test {

class SheetDialogTest : public ViewFixture {
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        installPropertySheets(*app, view.get());
    }
    void TearDown() override
    {
        SetObjectPropertiesHandler({});
        ViewFixture::TearDown();
    }

    // Runs `act` on the sheet once it is shown (the sheet is modal, so this waits on a timer).
    void whenSheetOpens(std::function<void(CMyPropertySheet&)> act)
    {
        auto* poll = new QTimer(view.get());
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
            if (auto* sheet = dynamic_cast<CMyPropertySheet*>(QApplication::activeModalWidget())) {
                poll->stop();
                poll->deleteLater();
                act(*sheet);
            }
        });
        poll->start();
    }

    static void press(CMyPropertySheet& sheet, QDialogButtonBox::StandardButton which)
    {
        QTest::mouseClick(sheet.buttons()->button(which), Qt::LeftButton);
    }

    // What a user's double click delivers: the first click selects, the second opens.
    void doubleClick(Point p)
    {
        click(p);
        QTest::mouseDClick(port(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
    }
};


} // namespace qv::test
