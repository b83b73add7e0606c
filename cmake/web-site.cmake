# The two files of the site that the build writes: index.html with the
# page's style and its bundled modules inside it, one request where there
# were four, the size of the game's WebAssembly (the loading line's progress
# counts towards it) and the site's version; and the service worker with the
# names of the sounds it keeps and the version, a digest of every file it
# keeps, in its cache's name, so each build that changes the site, a sound
# included, replaces the old cache.
#   cmake -DWEB=<web folder> -DSITE=<site folder> -DPAGE_SCRIPT=<bundle> -DPAGE_STYLE=<style>
#         -P web-site.cmake
file(SIZE ${SITE}/quorrell.wasm game_bytes)
file(READ ${WEB}/index.html page)
string(REPLACE "@GAME_BYTES@" "${game_bytes}" page "${page}")
file(READ ${PAGE_STYLE} style)
string(STRIP "${style}" style)
string(REPLACE "<link rel=\"stylesheet\" href=\"page.css\">" "<style>${style}</style>" page "${page}")
file(READ ${PAGE_SCRIPT} code)
string(STRIP "${code}" code)
string(REPLACE "<script type=\"module\" src=\"main.js\"></script>" "<script type=\"module\">${code}</script>"
  page "${page}")

# The version is a digest of every file the worker keeps, the page as it is
# before the version goes into it, so the page knows the cache it belongs to.
file(GLOB sounds RELATIVE ${SITE} ${SITE}/data/*.wav)
list(SORT sounds)
string(SHA256 digests "${page}")
foreach(kept quorrell.js quorrell.wasm manifest.webmanifest icon.svg icon-192.png icon-512.png ${sounds})
  file(SHA256 ${SITE}/${kept} digest)
  string(APPEND digests "${digest}")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING "${version}" 0 16 version)

string(REPLACE "@SITE_VERSION@" "${version}" page "${page}")
file(WRITE ${SITE}/index.html.new "${page}")
configure_file(${SITE}/index.html.new ${SITE}/index.html COPYONLY)
file(REMOVE ${SITE}/index.html.new)

list(TRANSFORM sounds PREPEND "'")
list(TRANSFORM sounds APPEND "'")
string(REPLACE ";" ", " sound_list "${sounds}")
file(READ ${WEB}/sw.js worker)
string(REPLACE "@SITE_VERSION@" "${version}" worker "${worker}")
string(REPLACE "'@SOUNDS@'" "${sound_list}" worker "${worker}")
file(WRITE ${SITE}/sw.js.new "${worker}")
configure_file(${SITE}/sw.js.new ${SITE}/sw.js COPYONLY)
file(REMOVE ${SITE}/sw.js.new)
