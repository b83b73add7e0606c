# The two files of the site that the build writes: index.html with the
# page's style and its bundled modules inside it, one request where there
# were four, and the size of the game's WebAssembly (the loading line's
# progress counts towards it); and the service worker with a digest of every file it keeps in
# its cache's name, so each build that changes the site replaces the old
# cache.
#   cmake -DWEB=<web folder> -DSITE=<site folder> -DPAGE_SCRIPT=<bundle> -P web-site.cmake
file(SIZE ${SITE}/quorrell.wasm game_bytes)
file(READ ${WEB}/index.html page)
string(REPLACE "@GAME_BYTES@" "${game_bytes}" page "${page}")
file(READ ${WEB}/page.css style)
string(REPLACE "<link rel=\"stylesheet\" href=\"page.css\">" "<style>\n${style}</style>" page "${page}")
file(READ ${PAGE_SCRIPT} code)
string(REPLACE "<script type=\"module\" src=\"main.js\"></script>" "<script type=\"module\">\n${code}</script>"
  page "${page}")
file(WRITE ${SITE}/index.html.new "${page}")
configure_file(${SITE}/index.html.new ${SITE}/index.html COPYONLY)
file(REMOVE ${SITE}/index.html.new)

set(digests "")
foreach(kept index.html quorrell.js quorrell.wasm manifest.webmanifest icon.svg icon-192.png
        icon-512.png)
  file(SHA256 ${SITE}/${kept} digest)
  string(APPEND digests "${digest}")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING "${version}" 0 16 version)
file(READ ${WEB}/sw.js worker)
string(REPLACE "@SITE_VERSION@" "${version}" worker "${worker}")
file(WRITE ${SITE}/sw.js.new "${worker}")
configure_file(${SITE}/sw.js.new ${SITE}/sw.js COPYONLY)
file(REMOVE ${SITE}/sw.js.new)
