# korvane_find_optional(PACKAGE PART DEBIAN_PACKAGES): looks for a package that only an optional
# part of the build needs (tests, benchmarks, fuzzers). When it is missing, the part is left out
# with a message naming the Debian packages that bring it, instead of failing the whole build.
function(korvane_find_optional package part debian_packages)
  find_package(${package} QUIET)
  if(NOT ${package}_FOUND)
    message(WARNING "${package} was not found, so ${part} are not built "
                    "(on Debian: apt-get install ${debian_packages}; or turn the part off)")
  endif()
  set(${package}_FOUND ${${package}_FOUND} PARENT_SCOPE)
endfunction()
