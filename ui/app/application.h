// The tool as a running whole: the main window, the message loop with the
// window's pre-translation, the two handlers and the focus rules.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "focus.h"
#include "input_events.h"
#include "main_window.h"
#include "page_fetcher.h"

namespace corvane::app {

class Application final : public ui::MainWindowEvents {
public:
    explicit Application(PageFetcher& fetcher);
    ~Application() override;

    // Builds the main window, shows it activated with the focus in 编辑框1.
    // False when the window or one of its controls cannot be created.
    bool Load(HINSTANCE instance);
    // Runs the message loop until the quit message; returns its exit code.
    int Run();

    // MainWindowEvents
    void OnButtonClicked() override;
    void OnMainWindowFocused() override;
    void OnMainWindowDeactivated() override;
    void OnMainWindowDestroyed() override;

private:
    bool PreTranslate(MSG& msg);
    HandlerResult OnKeyLinkPressed(const InputEventArgs& args);

    PageFetcher& fetcher_;
    std::unique_ptr<ui::MainWindow> window_;
    std::vector<InputBinding> input_bindings_;
    FocusMemory focus_memory_;
    bool loop_running_ = false;
};

}  // namespace corvane::app
