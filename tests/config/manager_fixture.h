#pragma once
// A new project with the header writers counted, for the manager and adjustment tests.
#include "model/params/blocks/character_block.h"
#include "model/app/header_writers.h"
#include "model/params/block_bytes.h"
#include "tests/model/project_fixture.h"
#include "tests/config/var_table_fixture.h"

#include <atomic>

namespace qv::test {

inline std::atomic<int> g_managerHeaderWrites{0};

class VarProjectTest : public ProjectTest {
protected:
    VarProjectTest()
    {
        SetHeaderWriters({nullptr, [](const fs::path&, const HmiVarTable&, std::string*) {
                              ++g_managerHeaderWrites;
                              return true;
                          }});
        folder = newProject("vars");
        g_managerHeaderWrites = 0;
    }
    ~VarProjectTest() override { SetHeaderWriters({}); }

    fs::path hmi() const { return folder / "vars.hmi"; }
    HmiVarTable& table() { return app->ProjectDoc()->m_varTable; }
    // Appends user rows u16, u17, ... (unsigned char, placed 4 bytes apart after the system rows).
    void addUserRows(int count)
    {
        for (int i = 0; i < count; ++i) {
            const int row = static_cast<int>(table().size());
            table().AppendRow(std::to_string(28 + 4 * (row - 16)), "unsigned char", "u" + std::to_string(row), "0", "");
        }
        ASSERT_TRUE(app->ProjectDoc()->DoFileSave());
    }
    // A character control of `length` characters on variable `row`.
    static std::unique_ptr<CDrawRect> stringControl(std::int32_t row, std::int32_t length)
    {
        auto obj = std::make_unique<CDrawRect>(Rect{10, 10, 200, 40});
        obj->SetKind(ShapeKind::Character);
        blockWriteI32(obj->m_Params, blocks::character::kStringIndex.offset, row);
        blockWriteI32(obj->m_Params, blocks::character::kStringLength.offset, length);
        return obj;
    }
    // A window holding `obj`, saved and then closed, so only its file holds the object.
    fs::path closedWindowWith(const std::string& nameGbk, std::unique_ptr<CDrawRect> obj)
    {
        CDrawDoc* doc = addWindow(nameGbk);
        doc->AddObject(std::move(obj));
        EXPECT_TRUE(doc->SaveToWindowFolder());
        const fs::path file = doc->GetPathName();
        app->m_pWindowTemplate->CloseDocument(doc);
        return file;
    }

    fs::path folder;
};

} // namespace qv::test
