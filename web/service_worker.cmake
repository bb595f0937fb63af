# Writes the site's service worker (service_worker.js.in) once the rest of the site is built: the
# list of the site's files and, as the cache's name, a digest of their contents, so that any
# change to any file is a new service worker and a new cache.
#   cmake -DSITE=<site folder> -DTEMPLATE=<service_worker.js.in> -DOUTPUT=<file> -P service_worker.cmake
file(GLOB files RELATIVE ${SITE} ${SITE}/*)
list(SORT files)
get_filename_component(own ${OUTPUT} NAME)
list(REMOVE_ITEM files ${own})
set(digests "")
set(SITE_FILES "'./'")
foreach(file IN LISTS files)
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND SITE_FILES ", '${file}'")
endforeach()
string(SHA256 SITE_VERSION "${digests}")
string(SUBSTRING ${SITE_VERSION} 0 16 SITE_VERSION)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
