// The window toolkit seam: the application object, one form and the
// controls on it. The classes here hold every control's state, so that all
// toolkits (Win32, terminal, headless) behave alike; a toolkit derives from
// them and only shows that state, told by the protected *Changed hooks.
// Texts are UTF-8.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ui {

// 0x00BBGGRR, the layout of a Windows colour value.
using Color = std::uint32_t;

constexpr Color Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return Color{red} | (Color{green} << 8) | (Color{blue} << 16);
}

// Left, top, right, bottom in screen pixels.
struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// Position and size in the form's client pixels.
struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

using Handler = std::function<void()>;

class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  const Bounds& bounds() const { return bounds_; }
  int Top() const { return bounds_.top; }
  void SetTop(int top);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

 protected:
  explicit Control(const Bounds& bounds) : bounds_(bounds) {}
  virtual void BoundsChanged() {}
  virtual void VisibilityChanged() {}

 private:
  Bounds bounds_;
  bool visible_ = true;
};

// A one-line text whose width follows the text.
class Label : public Control {
 public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption);

 protected:
  Label(const Bounds& bounds, std::string_view caption) : Control(bounds), caption_(caption) {}
  virtual void CaptionChanged() {}

 private:
  std::string caption_;
};

// A smooth bar filled from Min to Position out of Max. The position stays
// between Min and Max: a larger one shows a full bar, and a maximum lowered
// below the position takes the position down with it. The filled part is
// two vertical gradients meeting at the middle line: BarColorFrom there,
// BarColorTo at the top and bottom edges.
class ProgressBar : public Control {
 public:
  int Min() const { return 0; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  Color BarColorFrom() const { return color_from_; }
  Color BarColorTo() const { return color_to_; }

  void SetMax(int max);
  void SetPosition(int position);
  void SetBarColors(Color from, Color to);

 protected:
  ProgressBar(const Bounds& bounds, int max, Color from, Color to)
      : Control(bounds), max_(max), color_from_(from), color_to_(to) {}
  virtual void BarChanged() {}

 private:
  int max_;
  int position_ = 0;
  Color color_from_;
  Color color_to_;
};

// A read-only multi-line log without a limit on its length.
class Memo : public Control {
 public:
  const std::vector<std::string>& Lines() const { return lines_; }
  // Appends `line` and a line break at the end, the caret after it.
  void AppendLine(std::string_view line);
  // Scrolls the view by `lines` lines (EM_LINESCROLL's vertical count).
  virtual void ScrollLines(int lines) = 0;

 protected:
  explicit Memo(const Bounds& bounds) : Control(bounds) {}
  virtual void LineAppended() {}

 private:
  std::vector<std::string> lines_;
};

// A click inverts Checked, then calls on_click, which sees the new state.
// SetChecked from code calls nothing.
class CheckBox : public Control {
 public:
  Handler on_click;

  const std::string& Caption() const { return caption_; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Click();

 protected:
  CheckBox(const Bounds& bounds, std::string_view caption)
      : Control(bounds), caption_(caption) {}
  virtual void CheckedChanged() {}

 private:
  std::string caption_;
  bool checked_ = false;
};

class Button : public Control {
 public:
  Handler on_click;

  const std::string& Caption() const { return caption_; }
  void Click();

 protected:
  Button(const Bounds& bounds, std::string_view caption) : Control(bounds), caption_(caption) {}

 private:
  std::string caption_;
};

class Timer {
 public:
  Handler on_timer;

  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  virtual ~Timer() = default;

  int IntervalMs() const { return interval_ms_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void Tick();

 protected:
  explicit Timer(int interval_ms) : interval_ms_(interval_ms) {}
  virtual void EnabledChanged() {}

 private:
  int interval_ms_;
  bool enabled_ = true;
};

struct FormDesign {
  std::string class_name;
  std::string caption;
  int client_width = 0;
  int client_height = 0;
};

// The one window. Height, Width, Top and Left are outer values, caption and
// borders included.
class Form {
 public:
  // Every request to close the window asks this first; false refuses it.
  std::function<bool()> on_close_query;

  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form() = default;

  virtual Label& AddLabel(const Bounds& bounds, std::string_view caption) = 0;
  virtual ProgressBar& AddProgressBar(const Bounds& bounds, int max, Color from, Color to) = 0;
  virtual Memo& AddMemo(const Bounds& bounds) = 0;
  virtual CheckBox& AddCheckBox(const Bounds& bounds, std::string_view caption) = 0;
  virtual Button& AddButton(const Bounds& bounds, std::string_view caption) = 0;
  virtual Timer& AddTimer(int interval_ms) = 0;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetHeight(int height) = 0;
  virtual int Top() const = 0;
  virtual int Left() const = 0;
  virtual void SetTop(int top) = 0;
  virtual void SetLeft(int left) = 0;

  // A close request, as from the keyboard or the taskbar: closes the window,
  // and so ends the application, only when on_close_query allows it.
  virtual void Close() = 0;
  // Paints every pending change of the window at once, synchronously,
  // without dispatching any other message or input.
  virtual void RepaintNow() = 0;

 protected:
  Form() = default;
  // For the toolkits: what a close request gets.
  bool CloseAllowed() const { return !on_close_query || on_close_query(); }
};

class Application {
 public:
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  virtual ~Application() = default;

  // The taskbar button's text and the caption of the error box.
  virtual void SetTitle(std::string_view title) = 0;
  virtual std::unique_ptr<Form> CreateForm(const FormDesign& design) = 0;

  // Shows `main_form`, then dispatches messages until the request to end
  // has been taken, also when ProcessMessages took it.
  virtual void Run(Form& main_form) = 0;
  // Posts the request to end.
  virtual void Terminate() = 0;
  // Dispatches what is pending, then returns.
  virtual void ProcessMessages() = 0;
  // True once the request to end has been taken from the queue.
  virtual bool Terminated() const = 0;
  // Waits at most `at_most` for `socket` (a SOCKET on Windows, a descriptor
  // elsewhere) to become readable, or writable when `for_writing`, then
  // dispatches what is pending; true when the socket is ready. A toolkit
  // with input of its own also wakes up for that input; this default waits
  // on the socket alone.
  virtual bool WaitForSocket(std::intptr_t socket, bool for_writing,
                             std::chrono::milliseconds at_most);
  // The standard error box under the application's title.
  virtual void ShowError(std::string_view text) = 0;

  // Screen rectangle of the taskbar, all zeros when there is none.
  virtual ScreenRect TaskbarRect() const = 0;
  // Left 0, top 0, right and bottom the primary screen's size.
  virtual ScreenRect ScreenRectangle() const = 0;

  // Calls `handler`; an error that escapes it goes to the error box, and the
  // program goes on. Every toolkit dispatches handlers through here.
  void RunHandler(const Handler& handler);

 protected:
  Application() = default;
};

// The product's toolkit: the real window on Windows, the terminal on Linux.
std::unique_ptr<Application> CreateNativeApplication();

}  // namespace platform::ui
