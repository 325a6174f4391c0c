#pragma once
// The mapping table of one serial port (CDlgPlcMap) and the editor of one row (CDlgPlcMapEdit).
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QDialog>

#include "config/plcmap/plc_map_table.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace qv {

class CEditorApp;

class CDlgPlcMapEdit : public QDialog {
public:
    CDlgPlcMapEdit(int protocol, const plcmap::MappingEdit& edit, QWidget* parent = nullptr);
    plcmap::MappingEdit Edit() const;

private:
    int m_protocol;
    QComboBox* m_type;
    QLabel* m_stationLabel;
    QSpinBox* m_station;
    QSpinBox* m_number;
    QSpinBox* m_count;
    QSpinBox* m_address;
    QSpinBox* m_commDelay;
    QSpinBox* m_screen;
    QSpinBox* m_timeout;
    QSpinBox* m_ackDelay;
    QCheckBox* m_writeOnly;
};

// Asks the row editor for a row; the tests replace it.
using PlcMapEditPrompt = std::function<std::optional<plcmap::MappingEdit>(int protocol, const plcmap::MappingEdit&)>;
using PlcMapPasswordPrompt = std::function<std::optional<std::string>()>;

class CDlgPlcMap : public QDialog {
public:
    // `app` may be null (no "HMI变量" button then).
    CDlgPlcMap(CEditorApp* app, std::filesystem::path projectDir, int port, int protocol, QWidget* parent = nullptr);

    void SetPrompts(PlcMapEditPrompt edit, PlcMapPasswordPrompt password);

    void LoadMappingTable();
    void AddMapping();
    void ModifyMapping();
    void DeleteMapping();
    void ClearMappings();
    void MoveMappingUp();
    void MoveMappingDown();

    QTableWidget* list() const { return m_list; }
    const plcmap::PlcMapTable& table() const { return m_table; }

private:
    void Refill();
    void Report(const std::optional<std::string>& refusal);
    void SyncSelection();

    CEditorApp* m_app;
    plcmap::PlcMapTable m_table;
    QTableWidget* m_list;
    PlcMapEditPrompt m_editPrompt;
    PlcMapPasswordPrompt m_passwordPrompt;
};

} // namespace qv
