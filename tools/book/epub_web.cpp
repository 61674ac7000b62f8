#include "book/epub_web.h"

#include "book/epub_pages.h"

#include <QString>
#include <nlohmann/json.hpp>

namespace tavelio::book {
namespace {

constexpr const char* kAudioFile = "audio/narration.mp3";
constexpr const char* kPlayerFile = "read-along.js";

// The player. It keeps to the page's stretch: playing starts at the first clip and stops at the
// end of the last one, where the next page's narration would begin, unless the narration reads
// on in the next page (a read-through's step), which it then opens and plays.
constexpr const char* kPlayer = R"js("use strict";
(function () {
  const clips = JSON.parse(document.getElementById("clips").textContent);
  const audio = new Audio(document.body.dataset.audio);
  const activeClass = document.body.dataset.activeClass;
  let shown = null;

  function clipAt(time) {
    return clips.find((clip) => clip.begin <= time && time < clip.end) || null;
  }

  function show(time) {
    const clip = clipAt(time);
    const element = clip ? document.getElementById(clip.id) : null;
    if (element !== shown) {
      if (shown) shown.classList.remove(activeClass);
      if (element) element.classList.add(activeClass);
      shown = element;
    }
    return clip ? clip.id : "-";
  }

  function follow() {
    const time = audio.currentTime;
    if (clips.length === 0 || time >= clips[clips.length - 1].end) {
      audio.pause();
      show(-1);
      if (document.body.dataset.continues) {
        location.href = document.body.dataset.continues + "#play";
      }
      return;
    }
    show(time);
    if (!audio.paused) requestAnimationFrame(follow);
  }

  const play = document.getElementById("play");
  play.disabled = clips.length === 0;
  function start() {
    audio.currentTime = clips[0].begin;
    audio.play().then(() => requestAnimationFrame(follow), () => {});
  }
  play.addEventListener("click", start);
  if (location.hash === "#play" && clips.length > 0) start();

  const driven = /^#clock=(.*)$/.exec(location.hash);
  if (driven) {
    document.body.dataset.trace = driven[1].split(",").map((t) => show(Number(t))).join(",");
  }
})();
)js";

std::string ClipsJson(const ExportedPage& page) {
    nlohmann::json clips = nlohmann::json::array();
    for (const OverlayClip& clip : page.overlay) {
        clips.push_back(
            {{"id", clip.textId}, {"begin", clip.beginMs / 1000.0}, {"end", clip.endMs / 1000.0}});
    }
    return clips.dump();
}

} // namespace

std::map<std::string, std::string> WebReadAlongFiles(const ExportedBook& book) {
    std::map<std::string, std::string> files;
    files[kStyleSheetFile] = StyleSheet(book);
    files[kFontFile] = book.font;
    files[kAudioFile] = book.narration.mp3;
    files[kPlayerFile] = kPlayer;
    for (const auto& [name, png] : book.pictures) {
        files[name] = png;
    }
    for (std::size_t n = 0; n < book.pages.size(); ++n) {
        const ExportedPage& page = book.pages[n];
        PageExtras extras;
        extras.script = kPlayerFile;
        extras.clipsJson = ClipsJson(page);
        extras.audio = kAudioFile;
        extras.activeClass = kActiveClass;
        extras.previous = n > 0 ? book.pages[n - 1].name + ".xhtml" : "";
        extras.next = n + 1 < book.pages.size() ? book.pages[n + 1].name + ".xhtml" : "";
        if (n + 1 < book.pages.size() && book.pages[n + 1].readThroughStep != 0) {
            extras.continues = extras.next;
        }
        files[page.name + ".xhtml"] = PageXhtml(book, page, extras);
    }
    const std::string first = book.pages.empty() ? "" : book.pages[0].name + ".xhtml";
    const std::string title = QString::fromStdString(book.title).toHtmlEscaped().toStdString();
    files["index.html"] = "<!DOCTYPE html>\n<meta charset=\"utf-8\">\n<title>" + title +
                          "</title>\n<meta http-equiv=\"refresh\" content=\"0; url=" + first +
                          "\">\n<a href=\"" + first + "\">" + title + "</a>\n";
    return files;
}

} // namespace tavelio::book
