# Finds a pkg-config module or stops at configure time naming the Debian package to install.
# The imported target PkgConfig::<target> is global, so every module and its tests can link it;
# asking twice for the same target finds the first one.
function(stillreel_require_pkg target module debian_package)
  if(TARGET PkgConfig::${target})
    return()
  endif()
  pkg_check_modules(${target} IMPORTED_TARGET GLOBAL ${module})
  if(NOT ${target}_FOUND)
    message(FATAL_ERROR "${module} not found: apt-get install ${debian_package}")
  endif()
endfunction()
