#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/program_state.h"
#include "platform/message_box.h"

namespace vantaro::test {

// A fresh run directory, recorded message boxes and helpers to drive MainWindow as a user would.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates MainWindow (the startup sequence runs); the config.ini written before is what it loads.
    HWND StartProgram(bool startedFromShell = true);
    void StopProgram();

    std::string ConfigPath() const { return runDirectory_ + "\\config.ini"; }
    void WriteConfig(const std::string& bytes) const;
    std::string ReadConfig() const;
    bool ConfigExists() const;
    std::string Value(const std::string& section, const std::string& key) const;

    std::string Text(Ctl id) const;
    void SetText(Ctl id, const std::string& text) const;
    bool Enabled(Ctl id) const;
    bool Checked(Ctl id) const;
    void Click(Ctl id) const;
    void LoseFocus(Ctl id) const;
    // A click on a list row (-1: the empty area below the rows).
    void ClickRow(int row) const;
    int SelectedRow() const;
    int RowCount() const;
    std::string RowText(int row, int column) const;
    std::string StatusText(int part) const;

    void PumpMessages() const;
    std::vector<MessageRecord> TakeMessages();

    std::string runDirectory_;
    std::vector<MessageRecord> messages_;
    HWND window_ = nullptr;
};

std::string MakeTempDirectory();
void RemoveDirectoryTree(const std::string& directory);

}  // namespace vantaro::test
