# Finds a pkg-config module or stops at configure time naming the Debian package to install.
function(stillreel_require_pkg target module debian_package)
  pkg_check_modules(${target} IMPORTED_TARGET ${module})
  if(NOT ${target}_FOUND)
    message(FATAL_ERROR "${module} not found: apt-get install ${debian_package}")
  endif()
endfunction()
