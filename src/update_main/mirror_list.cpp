// LoadMirrorList: "mirrors.xml" from the program's folder into the mirror
// table, all of it or nothing.
#include <array>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/xml_document.h"
#include "update_main/my_exception.h"
#include "update_main/update_form.h"

namespace update_main {
namespace {

constexpr std::string_view kMirrorListFile = "mirrors.xml";
constexpr std::string_view kRootName = "mirrors";
// Far beyond any list of mirrors; a bound on what is read into memory.
constexpr std::size_t kMaxMirrorListBytes = 4 << 20;

constexpr std::string_view kCheckingLabel = "Verification de la liste";
constexpr std::string_view kCheckingLine = "- Verification de la liste";
constexpr std::string_view kCachingLabel = "Mise en cache des mirroirs";
constexpr std::string_view kCachingLine = "- Mise en cache des mirroirs";
constexpr std::string_view kLoadedLine = "- Liste chargée";
constexpr std::string_view kReadErrorLine = "- Erreur lors de la lecture";
constexpr std::string_view kInvalidList = "Liste de mirroirs invalide";
constexpr std::string_view kEmptyList = "Liste de mirroirs vide";

constexpr int kSubSteps = 2;

struct Field {
  std::string_view element;
  std::string MirrorRecord::*value;
};
// In the order in which they are filled.
constexpr std::array<Field, 4> kFields = {{
    {"name", &MirrorRecord::name},
    {"base", &MirrorRecord::base},
    {"ask_url", &MirrorRecord::ask_url},
    {"dl_url", &MirrorRecord::dl_url},
}};

// The field's text, or an empty text when the entry has no such element or
// the element holds anything but one non-empty text or CDATA node.
std::string FieldText(const platform::xml::Node& entry, std::string_view element) {
  const platform::xml::Node* field = platform::xml::FindChildElement(entry, element);
  std::string text;
  if (field == nullptr || !platform::xml::SingleTextOf(*field, text)) return {};
  return text;
}

}  // namespace

bool TUpdateForm::LoadMirrorList() {
  StartSubSteps(kSubSteps);
  ReportSubStep(0, kCheckingLabel, kCheckingLine);
  Mirrors.Clear();
  try {
    std::string bytes;
    if (!platform::ReadWholeFile(program_folder_ + std::string(kMirrorListFile),
                                 kMaxMirrorListBytes, bytes)) {
      throw EMyException(kInvalidList);
    }
    const platform::xml::ParseResult parsed = platform::xml::ParseDocument(bytes);
    if (parsed.status != platform::xml::ParseStatus::kOk) throw EMyException(kInvalidList);
    if (parsed.document.children.empty()) throw EMyException(kInvalidList);
    const platform::xml::Node* root = platform::xml::FindRootElement(parsed.document);
    if (root == nullptr || root->name != kRootName) throw EMyException(kInvalidList);
    if (root->children.empty()) throw EMyException(kEmptyList);

    ReportSubStep(1, kCachingLabel, kCachingLine);
    for (const platform::xml::Node& entry : root->children) {
      MirrorRecord record;
      for (const Field& field : kFields) {
        const std::string text = FieldText(entry, field.element);
        if (text.empty()) throw EMyException(kInvalidList);
        record.*field.value = platform::FirstCharacters(platform::ToSystemCodePage(text),
                                                        kMirrorFieldCharacters);
      }
      // Every entry is checked; only those that an index can name are kept.
      if (Mirrors.Count() < kMaxMirrors) Mirrors.Append() = std::move(record);
    }
    SetSubPosition(2);
    AddLogLine(kLoadedLine);
    return true;
  } catch (...) {
    // The reasons travel only this far: the log tells of a failed read.
    AddLogLine(kReadErrorLine);
    MarkSubStepsFailed(kSubSteps);
    Mirrors.Clear();
    return false;
  }
}

}  // namespace update_main
