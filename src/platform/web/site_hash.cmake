# Writes the service worker with the hash of the site's files in its cache
# name: any change to the site makes a new cache.
# cmake -DTEMPLATE=sw.js.in -DOUT=site/sw.js -DFILES="a|b|..." -P site_hash.cmake
string(REPLACE "|" ";" FILES "${FILES}")
set(all "")
foreach(f ${FILES})
  file(SHA256 ${f} h)
  string(APPEND all ${h})
endforeach()
string(SHA256 hash "${all}")
string(SUBSTRING ${hash} 0 16 SITE_HASH)
configure_file(${TEMPLATE} ${OUT} @ONLY)
