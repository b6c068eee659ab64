# Sourced by the scripts: installs the Debian packages the project needs,
# with one apt-get update, and only when some are missing.
orn_install_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# The Qt shell: widgets, SVG icons, the platform plugins (offscreen for the
# tests, xcb for a real display), a font to draw text, and Xvfb to look at it;
# libxml2 for templates (xsltproc checks their stylesheet); libssl-dev and
# ca-certificates: TLS for secured connections, and the system's trust store
# that verifies servers' certificates.
ORN_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libldap-dev slapd ldap-utils
  libxml2-dev xsltproc libssl-dev ca-certificates
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins fonts-dejavu-core xvfb xauth)

# The tests' other real directory servers, beside slapd.
ORN_TEST_SERVER_PACKAGES=(389-ds-base samba samba-ad-dc samba-ad-provision samba-dsdb-modules iproute2)

# What makes the Debian package and checks its desktop entry and AppStream file.
ORN_PACKAGE_TOOLS=(dpkg-dev desktop-file-utils appstream-util)
