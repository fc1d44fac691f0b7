// Placeholder until the window is built: keeps the interface linkable.
#include "main_window.h"

namespace corvane::ui {

struct MainWindow::State {};

MainWindow::MainWindow(std::unique_ptr<State> state) : state_(std::move(state)) {}
MainWindow::~MainWindow() = default;

std::unique_ptr<MainWindow> MainWindow::Build(HINSTANCE, MainWindowEvents&) { return nullptr; }
HWND MainWindow::Handle() const { return nullptr; }
HWND MainWindow::Control(ControlId) const { return nullptr; }
std::vector<HWND> MainWindow::FocusOrder() const { return {}; }
std::string MainWindow::EditText(ControlId) const { return {}; }
int MainWindow::ComboSelection() const { return -1; }
std::string MainWindow::ComboItemText(int) const { return {}; }
void MainWindow::SetResultText(std::string_view) {}

}  // namespace corvane::ui
