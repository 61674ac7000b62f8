#include "bench-align/test_reading.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tavelio::bench_align {
namespace {

// The pauses of the layout: before the first word, between the lines of a page, between pages.
constexpr double kLeadInMs = 700.0;
constexpr double kBetweenLinesMs = 350.0;
constexpr double kBetweenPagesMs = 1300.0;
constexpr double kTrailMs = 600.0;
constexpr int kRate = 32000; // the HTS voice's own

std::string Run(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("can't run: " + command);
    }
    std::string output;
    char buffer[4096];
    while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
        output.append(buffer, read);
    }
    if (::pclose(pipe) != 0) {
        throw std::runtime_error("failed: " + command);
    }
    return output;
}

std::string SchemeString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

double Seconds(const std::string& path) {
    return std::stod(Run("soxi -D '" + path + "'"));
}

std::string Silence(const std::string& folder, double ms) {
    const std::string path = folder + "/gap" + std::to_string(static_cast<int>(ms)) + ".wav";
    Run("sox -n -r " + std::to_string(kRate) + " -c 1 -b 16 '" + path + "' trim 0 " +
        std::to_string(ms / 1000.0));
    return path;
}

} // namespace

TestReading MakeTestReading(const std::string& folder, const std::string& recordingName,
                            const std::vector<align::TextFragment>& text, double stretch,
                            int repeats) {
    // Each fragment said on its own, with the voice's word times: a word starts where the
    // silence before it ends.
    std::ostringstream scheme;
    scheme << "(voice_cmu_us_slt_arctic_hts)\n"
              "(define (say str file)\n"
              "  (set! utt (eval (list 'Utterance 'Text str)))\n"
              "  (utt.synth utt)\n"
              "  (utt.save.wave utt file 'riff)\n"
              "  (mapcar (lambda (w) (format t \"W %f %f\\n\"\n"
              "    (item.feat w \"R:SylStructure.daughter1.daughter1.R:Segment.p.end\")\n"
              "    (item.feat w \"word_end\"))) (utt.relation.items utt 'Word))\n"
              "  (format t \"E\\n\"))\n";
    for (std::size_t f = 0; f < text.size(); ++f) {
        scheme << "(say " << SchemeString(text[f].text) << " \"" << folder << "/said" << f
               << ".wav\")\n";
    }
    const std::string schemePath = folder + "/say.scm";
    std::ofstream(schemePath) << scheme.str();
    std::istringstream times(Run("festival -b '" + schemePath + "'"));
    std::vector<std::vector<KnownWord>> said(1);
    for (std::string tag; times >> tag;) {
        if (tag == "W") {
            KnownWord word{};
            times >> word.beginMs >> word.endMs;
            said.back().push_back({word.beginMs * 1000.0 * stretch, word.endMs * 1000.0 * stretch});
        } else if (tag == "E") {
            said.emplace_back();
        }
    }
    said.pop_back();
    if (said.size() != text.size()) {
        throw std::runtime_error("festival said " + std::to_string(said.size()) + " of " +
                                 std::to_string(text.size()) + " fragments");
    }
    std::vector<double> saidMs;
    for (std::size_t f = 0; f < text.size(); ++f) {
        const std::string path = folder + "/said" + std::to_string(f) + ".wav";
        if (stretch != 1.0) {
            const std::string slowed = folder + "/slow" + std::to_string(f) + ".wav";
            Run("sox '" + path + "' '" + slowed + "' tempo -s " + std::to_string(1.0 / stretch));
            Run("mv '" + slowed + "' '" + path + "'");
        }
        saidMs.push_back(Seconds(path) * 1000.0);
    }

    TestReading reading;
    const std::string leadIn = Silence(folder, kLeadInMs);
    const std::string betweenLines = Silence(folder, kBetweenLinesMs);
    const std::string betweenPages = Silence(folder, kBetweenPagesMs);
    const std::string trail = Silence(folder, kTrailMs);
    std::string parts = "'" + leadIn + "'";
    double at = kLeadInMs;
    int pageShift = 0;
    for (int round = 0; round < repeats; ++round) {
        for (std::size_t f = 0; f < text.size(); ++f) {
            if (round > 0 || f > 0) {
                const bool newPage = f == 0 || text[f].page != text[f - 1].page;
                parts += " '" + (newPage ? betweenPages : betweenLines) + "'";
                at += newPage ? kBetweenPagesMs : kBetweenLinesMs;
            }
            parts += " '" + folder + "/said" + std::to_string(f) + ".wav'";
            std::vector<KnownWord> words;
            for (const KnownWord& word : said[f]) {
                words.push_back({at + word.beginMs, at + word.endMs});
            }
            reading.words.push_back(std::move(words));
            align::TextFragment fragment = text[f];
            fragment.page += pageShift;
            reading.text.push_back(std::move(fragment));
            at += saidMs[f];
        }
        pageShift += text.back().page + 1;
    }
    parts += " '" + trail + "'";
    at += kTrailMs;
    reading.durationMs = at;

    // Room noise: soft pink noise, some 25 dB under the voice.
    const std::string clean = folder + "/clean.wav";
    Run("sox " + parts + " '" + clean + "'");
    const std::string noise = folder + "/noise.wav";
    Run("sox -R -n -r " + std::to_string(kRate) + " -c 1 -b 16 '" + noise + "' synth " +
        std::to_string(at / 1000.0) + " pinknoise vol 0.03");
    reading.recordingPath = folder + "/" + recordingName;
    Run("sox -m -v 1 '" + clean + "' -v 1 '" + noise + "' '" + reading.recordingPath + "'");
    return reading;
}

} // namespace tavelio::bench_align
