# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the About page with the window's own mascot in its header: the group <g id="mascot"> of
# the skin's picture, up to <!-- /mascot -->, as an SVG of its own in place of the page's mascot
# comment. The page stays one self-contained file, and the two pictures cannot drift apart.
# The release's version takes the place of @PELLOMIR_VERSION@.
# Usage: cmake -DPAGE=about.html -DSKIN=normal.svg -DVERSION=1.4 -DOUTPUT=out/about.html -P about_page.cmake
file(READ "${PAGE}" page)
file(READ "${SKIN}" skin)
string(FIND "${skin}" "<g id=\"mascot\">" begin)
string(FIND "${skin}" "<!-- /mascot -->" end)
string(FIND "${page}" "<!-- 吉祥物：" placeholder)
if(begin EQUAL -1 OR end EQUAL -1 OR placeholder EQUAL -1)
  message(FATAL_ERROR "${SKIN} has no <g id=\"mascot\"> … <!-- /mascot --> or ${PAGE} no <!-- 吉祥物：… -->")
endif()
math(EXPR length "${end} - ${begin}")
string(SUBSTRING "${skin}" ${begin} ${length} mascot)
string(STRIP "${mascot}" mascot)
# The skin draws the mascot in the circle of its logo object (26, 366)–(78, 419).
set(svg "<svg class=\"mascot\" role=\"img\" aria-label=\"Pellomir 的吉祥物\" xmlns=\"http://www.w3.org/2000/svg\" version=\"1.2\" baseProfile=\"tiny\" viewBox=\"26 366 52 53\">\n  ${mascot}\n</svg>")
string(REGEX REPLACE "<!-- 吉祥物：[^\n]*-->" "${svg}" page "${page}")
string(REPLACE "@PELLOMIR_VERSION@" "${VERSION}" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
