# Read by cpack in a build configured without the Debian layout: such a
# build's game looks for its sounds beside /usr/bin, where the package does
# not put them, so no package is made from it.
message(FATAL_ERROR "This build has the layout of cmake --install, not of the Debian package: "
                    "configure with -DQUORRELL_DEBIAN_LAYOUT=ON first")
