// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/pages.h"

#include <utility>

namespace velmora::server {

namespace {

constexpr std::string_view kBlue = "#3B5998";  // RGB 59, 89, 152
constexpr std::string_view kPale = "#E6E3C4";  // RGB 230, 227, 196
constexpr std::string_view kPaleShade = "#D6D2AE";

std::string pageStart(std::string_view title) {
    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    page.append(title).append("</title>\n</head>\n<body bgcolor=\"").append(kBlue);
    page.append("\" text=\"").append(kPale).append("\" link=\"").append(kPale);
    page.append("\" vlink=\"").append(kPale).append("\">\n");
    return page;
}

// One cell of the list; the top three are bold. The cell's text is the
// element's whole content, so ">name<" finds a name on the page.
void appendCell(std::string& page, std::string_view text, std::string_view align, bool bold) {
    page.append("<td align=\"").append(align).append("\"").append(align == "left" ? "" : " nowrap").append(">");
    page.append(bold ? "<strong>" : "").append(htmlEscape(text)).append(bold ? "</strong>" : "").append("</td>");
}

}  // namespace

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string base64(std::string_view bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
        size_t left = bytes.size() - i;
        if (left > 1) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (left > 2) group |= static_cast<uint8_t>(bytes[i + 2]);
        out += kDigits[(group >> 18) & 63];
        out += kDigits[(group >> 12) & 63];
        out += left > 1 ? kDigits[(group >> 6) & 63] : '=';
        out += left > 2 ? kDigits[group & 63] : '=';
    }
    return out;
}

std::string scoreListPage(const std::vector<ScoreEntry>& entries, uint64_t totalPosted) {
    // The view is 481 pixels wide less its scroll bar: one narrow column of
    // rank, a name column that wraps, and score and date kept on one line.
    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>Velmora - High Scores</title>\n</head>\n<body bgcolor=\"";
    page.append(kPale).append("\" text=\"#000000\" link=\"#008080\" vlink=\"#808080\">\n");

    page.append("<table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"4\">\n<tr>");
    page.append("<td width=\"110\" bgcolor=\"").append(kBlue).append("\">");
    page.append("<img src=\"data:image/png;base64,").append(base64(trophyPicturePng()));
    page.append("\" width=\"110\" height=\"116\" alt=\"\"></td>");
    page.append("<td align=\"center\" valign=\"middle\" bgcolor=\"").append(kBlue).append("\">");
    page.append("<font color=\"").append(kPale).append("\" size=\"6\"><strong>Velmora</strong></font><br>");
    page.append("<font color=\"").append(kPale).append("\" size=\"5\"><strong>High Scores</strong></font><br><br>");
    page.append("<font color=\"").append(kPale).append("\">").append(std::to_string(totalPosted));
    page.append(totalPosted == 1 ? " score" : " scores").append(" posted in all</font></td></tr>\n</table>\n");

    if (entries.empty()) {
        page += "<p align=\"center\"><strong>No scores yet. Be the first!</strong></p>\n";
    } else {
        page.append("<table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"3\">\n<tr>");
        for (auto [heading, align] : {std::pair{"#", "right"}, {"Name", "left"}, {"Score", "right"},
                                      {"Date", "right"}}) {
            page.append("<th align=\"").append(align).append("\" bgcolor=\"").append(kBlue);
            page.append("\"><font color=\"").append(kPale).append("\">").append(heading).append("</font></th>");
        }
        page += "</tr>\n";
        size_t rank = 0;
        for (const ScoreEntry& entry : entries) {
            ++rank;
            // Every other row a shade darker, so a row reads across at a glance.
            page.append("<tr bgcolor=\"").append(rank % 2 == 1 ? kPale : kPaleShade).append("\">");
            appendCell(page, std::to_string(rank), "right", rank <= 3);
            appendCell(page, entry.name, "left", rank <= 3);
            appendCell(page, std::to_string(entry.score), "right", rank <= 3);
            appendCell(page, entry.date, "right", false);
            page += "</tr>\n";
        }
        page += "</table>\n";
    }
    page += "<p align=\"center\"><font color=\"#808080\" size=\"2\">Nivolt Software</font></p>\n"
            "</body>\n</html>\n";
    return page;
}

std::string homePage(std::string_view versionText, bool hasInstaller) {
    std::string page = pageStart("Nivolt Software");
    page += "<h1>Nivolt Software</h1>\n<h2>Velmora</h2>\n";
    page += "<p>A falling-block puzzle game. Current version: " + htmlEscape(versionText) + "</p>\n<ul>\n";
    page += "<li><a href=\"/counter/velmora.shtml\">The online high score list</a></li>\n";
    if (hasInstaller) {
        page += "<li><a href=\"/velmora/velmorasetup.exe\">Download the installer</a></li>\n";
    }
    page += "</ul>\n</body>\n</html>\n";
    return page;
}

}  // namespace velmora::server
