// Program: the running program, as the program entry makes it. It owns the program-wide state
// (settings, page table, page cursor) and the forms: the launch pad `Launch` (the main window),
// the viewer `ViewBook` (hidden and disabled until a book is opened) and, during start-up, the
// splash `Splash` (owned by the launch pad as a window, referenced here).
//
// Life: the constructor creates Launch and then ViewBook; Start shows the launch pad, whose
// activation (a queued event on the clock) does the start-up work. Closing either window runs
// the shutdown and ends the program: Ended() turns true and the end handler is called once. The
// starter then leaves its event loop (or stops feeding events) and destroys the Program; the
// services are destroyed after it (the temporary directory last of all removes what is left).
//
// Events reach the program only through the forms (Form::Deliver..., a control's DeliverClick,
// timers and media notifications on the clock), each through the services' dispatcher. With a
// virtual clock, queued events (activations among them) run when the starter advances the clock
// (VirtualClock::RunDue or Advance).
#pragma once

#include "app/services.h"
#include "content/book_cursor.h"
#include "content/page_table.h"
#include "content/settings.h"
#include "launch/launch_pad.h"
#include "launch/launch_program.h"
#include "launch/splash.h"
#include "platform/controls/active_form.h"
#include "platform/controls/form.h"
#include "viewer/view_book.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

namespace tavelio {

class Program final : private LaunchProgram {
public:
    // The program entry up to the message loop: makes Launch, then ViewBook (hidden, disabled).
    explicit Program(Services& services);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Shows the main window, as the message loop does when it starts.
    void Start();

    // True once closing a window has ended the program.
    bool Ended() const { return ended_; }
    // Called once when the program ends (the real entry quits its event loop here).
    void SetOnEnded(std::function<void()> onEnded) { onEnded_ = std::move(onEnded); }

    // The forms. ViewBook is nullptr once the shutdown has released it, Splash while no splash
    // exists.
    TLaunch& Launch() { return *launch_; }
    TViewBook* ViewBook() { return viewBook_.data(); }
    TSplash* Splash() { return splash_.data(); }
    // The existing forms in the order Launch, ViewBook, Splash.
    std::vector<Form*> Forms() const;
    // The existing form with that objectName, or nullptr.
    Form* FindForm(std::string_view name) const;
    // The program's active form, or nullptr.
    Form* ActiveFormNow() const { return activeForm_.Current(); }

    Settings& ProgramSettings() { return settings_; }
    const Settings& ProgramSettings() const { return settings_; }
    BookCursor& Cursor() { return cursor_; }
    const BookCursor& Cursor() const { return cursor_; }
    PageTable& Pages() { return pageTable_; }
    const PageTable& Pages() const { return pageTable_; }

    // The settings by name, and the program's flags by name (LaunchActivated, later the
    // viewer's), for the scenario runner's dump.
    nlohmann::json DescribeSettings() const;
    nlohmann::json DescribeFlags() const;

private:
    // LaunchProgram
    void StartUpWork() override;
    void ReleaseSplash() override;
    void ShutdownFromLaunch() override;
    TViewBook& Viewer() override { return *viewBook_; }

    // Start-up steps 2 to 7: the installation settings from the registry.
    void ReadRegistrySettings();
    void ShowSplash();
    void End();

    Services& services_;
    ActiveForm activeForm_;
    FormEnvironment environment_;
    Settings settings_;
    PageTable pageTable_;
    BookCursor cursor_;
    std::unique_ptr<TLaunch> launch_;
    QPointer<TViewBook> viewBook_;
    QPointer<TSplash> splash_;
    Clock::Ticket viewBookRelease_ = 0;
    bool ended_ = false;
    std::function<void()> onEnded_;
};

} // namespace tavelio
