// The verification of a chosen mirror against a scripted local mirror, and
// the fetches under it: the request on the wire, the replies that pass, and
// the window kept alive while a mirror answers.
#include <gtest/gtest.h>

#include "support/test_http_server.h"
#include "update_form_fixture.h"
#include "update_main/bar_colors.h"

namespace update_main {
namespace {

using testing_support::ServerAction;
using testing_support::TestHttpServer;
using namespace std::chrono_literals;

constexpr std::string_view kKeyPath = "/kelvane/ask.php?isvalid";

std::string Reply(std::string_view status, std::string_view body,
                  std::string_view headers = "") {
  std::string reply = "HTTP/1.0 ";
  reply.append(status).append("\r\nContent-Length: ").append(std::to_string(body.size()));
  reply.append("\r\n").append(headers).append("\r\n").append(body);
  return reply;
}

class MirrorVerificationTest : public UpdateFormTest {
 protected:
  TUpdateForm& FormWithMirror(std::string base) {
    TUpdateForm& form = CreateForm();
    MirrorRecord& mirror = form.Mirrors.Append();
    mirror.name = "local";
    mirror.base = std::move(base);
    mirror.ask_url = "kelvane/ask.php";
    mirror.dl_url = "kelvane/files/";
    return form;
  }
  std::string Base() const { return server_.Url("/"); }

  TestHttpServer server_;
};

TEST_F(MirrorVerificationTest, AcceptsOnlyTheMirrorKeyToTheByte) {
  const struct {
    const char* what;
    std::vector<ServerAction> reply;
    bool accepted;
  } cases[] = {
      {"the key", {ServerAction::Send(Reply("200 OK", "Ready to serve you !"))}, true},
      {"the key and a line break",
       {ServerAction::Send(Reply("200 OK", "Ready to serve you !\r\n"))}, false},
      {"a lower-case r", {ServerAction::Send(Reply("200 OK", "ready to serve you !"))}, false},
      {"no space before !", {ServerAction::Send(Reply("200 OK", "Ready to serve you!"))}, false},
      {"an empty body", {ServerAction::Send(Reply("200 OK", ""))}, false},
      {"the key cut short",
       {ServerAction::Send("HTTP/1.0 200 OK\r\nContent-Length: 20\r\n\r\nReady to"),
        ServerAction::Close()},
       false},
      {"the key in a 404 page", {ServerAction::Send(Reply("404 Not Found", "Ready to serve you !"))},
       false},
      {"the key in a 401 reply",
       {ServerAction::Send(Reply("401 Unauthorized", "Ready to serve you !"))}, true},
      {"the key after a relocation",
       {ServerAction::Send(Reply("302 Found", "moved", "Location: /real/ask.php?isvalid\r\n"))},
       true},
      {"the connection closed at once", {ServerAction::Close()}, false},
  };
  server_.Script("/real/ask.php?isvalid",
                 {ServerAction::Send(Reply("200 OK", "Ready to serve you !"))});
  for (const auto& one : cases) {
    server_.Script(std::string(kKeyPath), one.reply);
    TUpdateForm& form = FormWithMirror(Base());
    EXPECT_EQ(form.VerifyMirror(0), one.accepted) << one.what;
    EXPECT_EQ(form.Mirrors.Count(), 1u) << "the search drops a mirror, not the verification";
    EXPECT_EQ(form.RunMessage, "") << one.what;
    DestroyForm();
  }
}

TEST_F(MirrorVerificationTest, AsksTheKeyWithExactlyTheRequestOfTheProtocol) {
  server_.Script(std::string(kKeyPath),
                 {ServerAction::Send(Reply("200 OK", "Ready to serve you !"))});
  TUpdateForm& form = FormWithMirror(Base());
  ASSERT_TRUE(form.VerifyMirror(0));
  ASSERT_EQ(server_.requests().size(), 1u);
  EXPECT_EQ(server_.requests()[0],
            "GET /kelvane/ask.php?isvalid HTTP/1.0\r\n"
            "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
            "User-Agent: Mozilla/4.0 (compatible; ICS)\r\n"
            "Host: 127.0.0.1:" + std::to_string(server_.port()) + "\r\n"
            "\r\n");
  EXPECT_EQ(form.JvMemo.Lines(),
            (std::vector<std::string>{"- Demande de la clé", "- Verification de la clé",
                                      "- Clé valide"}));
  EXPECT_EQ(form.SecondaryBar.Position(), 2);
  EXPECT_EQ(form.SecondaryBar.BarColorFrom(), kNormalColors.from);
}

TEST_F(MirrorVerificationTest, ARejectedMirrorShowsRed) {
  TUpdateForm& form = FormWithMirror(server_.Url("") + "kelvane/");  // no script: a 404
  EXPECT_FALSE(form.VerifyMirror(0));
  EXPECT_EQ(form.JvMemo.Lines().back(), "- Clé invalide, suppression du mirroir");
  EXPECT_EQ(form.SecondaryLabel.Caption(), "Verification de la clé");
  EXPECT_EQ(form.SecondaryBar.Position(), 2);
  EXPECT_EQ(form.SecondaryBar.BarColorFrom(), kFailureColors.from);
}

TEST_F(MirrorVerificationTest, AnAddressThatCannotBeReachedIsARejection) {
  const std::string bases[] = {
      "http://127.0.0.1:" + std::to_string(testing_support::RefusingLoopbackPort()) + "/",
      "http://nothing.invalid/",
      // No separator is added: base and ask_url run together into one host.
      "http://nothing.invalid",
      "ftp://127.0.0.1/",
  };
  for (const std::string& base : bases) {
    TUpdateForm& form = FormWithMirror(base);
    EXPECT_FALSE(form.VerifyMirror(0)) << base;
    EXPECT_EQ(form.AskMirror(0, "?isvalid"), "") << base;
    DestroyForm();
  }
}

TEST_F(MirrorVerificationTest, TheWindowWorksWhileTheMirrorIsSlowToAnswer) {
  server_.Script(std::string(kKeyPath),
                 {ServerAction::Stall(300ms),
                  ServerAction::Send(Reply("200 OK", "Ready to serve you !"))});
  TUpdateForm& form = FormWithMirror(Base());
  // A click that comes while the request waits is handled inside the wait.
  application_.Post([&form] { form.DetailsCheck.Click(); });
  EXPECT_TRUE(form.VerifyMirror(0));
  EXPECT_TRUE(form.DetailsCheck.Checked());
  EXPECT_GT(application_.process_messages_calls(), 0);
}

TEST_F(MirrorVerificationTest, ARequestToEndAbandonsTheFetchAndEveryLaterOne) {
  server_.Script(std::string(kKeyPath), {ServerAction::Stall(10s)});
  TUpdateForm& form = FormWithMirror(Base());
  application_.Post([&form] { form.CloseButton.Click(); });  // "Fermer" mid-request
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(form.VerifyMirror(0));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_TRUE(application_.Terminated());

  const int connections = server_.connections();
  EXPECT_EQ(form.AskMirror(0, "?serverlist"), "");
  EXPECT_EQ(server_.connections(), connections) << "no new request once asked to end";
}

}  // namespace
}  // namespace update_main
