// The two ways of reaching a mirror: asking its script a key, and
// downloading a file from its folder. Addresses are the plain concatenation
// of the mirror's fields and the literal; a failed fetch is swallowed here.
#include "update_main/update_form.h"

namespace update_main {
namespace {

class TextSink final : public platform::http::BodySink {
 public:
  void Append(const char* data, std::size_t size) override { text_.append(data, size); }
  std::uint64_t Size() const override { return text_.size(); }
  void CutBack(std::uint64_t size) override { text_.resize(static_cast<std::size_t>(size)); }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

}  // namespace

std::string TUpdateForm::AskMirror(MirrorIndex mirror, std::string_view key) {
  const MirrorRecord& record = Mirrors.At(mirror);
  TextSink reply;
  try {
    if (!HttpCli.Get(record.base + record.ask_url + std::string(key), reply).ok()) return {};
  } catch (...) {
    return {};
  }
  return reply.Take();
}

void TUpdateForm::DownloadFromMirror(MirrorIndex mirror, std::string_view file_name,
                                     platform::http::BodySink& target) {
  const MirrorRecord& record = Mirrors.At(mirror);
  try {
    // Whatever arrived stays in the target: the caller's digest check judges it.
    HttpCli.Get(record.base + record.dl_url + std::string(file_name), target);
  } catch (...) {
  }
}

}  // namespace update_main
