#!/bin/sh
# Checks the layers of src/: what each may include, where threads start, and that no widget is
# looked up by name. Prints every breach and fails when there is one.
# Usage: check-layers.sh [SOURCE_DIR] [QT_INCLUDE_DIR]
set -u
top=${1:-$(dirname "$0")/..}
qt=${2:-$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)}
cd "$top/src" || exit 2
breaches=0

# breach LABEL FILES...: lists the lines that match the pattern in $pattern.
breach() {
  label=$1
  shift
  found=$(grep -nE "$pattern" "$@" 2>/dev/null)
  if [ -n "$found" ]; then
    echo "$found" | sed "s|^|$label: |"
    breaches=1
  fi
}

# The headers of a Qt module, as an alternation: QWidget|QLabel|...
headers() {
  for module in "$@"; do
    [ -d "$qt/$module" ] || { echo "check-layers: no $qt/$module" >&2; exit 2; }
    ls "$qt/$module" | grep -E '^Q[A-Za-z]+$'
    echo "$module"
  done | sort -u | paste -sd '|'
}
graphical=$(headers QtGui QtWidgets QtSvg QtSvgWidgets)
remote=$(headers QtNetwork QtDBus)
widgets=$(headers QtWidgets)

core=$(find core -name '*.cpp' -o -name '*.h')
services=$(find services -name '*.cpp' -o -name '*.h')
cli=$(find cli -name '*.cpp' -o -name '*.h')
gui=$(find gui -name '*.cpp' -o -name '*.h')
outside_services=$(find . -path ./services -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)

pattern="#include [<\"]((Qt[A-Za-z]+/)?($graphical|$remote)(\.h)?)[>\"]|#include \"(services|cli|gui|app)/"
breach "core includes a graphical, network or upper header" $core
pattern='#include "(cli|gui|app)/'
breach "services include an upper layer" $services
pattern="#include [<\"]((Qt[A-Za-z]+/)?($widgets)(\.h)?)[>\"]|#include \"(gui|app)/"
breach "the command line includes a widget or window header" $cli
pattern='#include "(cli|app)/'
breach "gui includes the command line or the program" $gui
pattern='std::(thread|jthread|async)[^:]|QThread(Pool)?[^:a-zA-Z]|QtConcurrent|pthread_create|QThread::create'
breach "a thread started outside services" $outside_services
pattern='findChild<[^>]*>\([^)]'
breach "a widget looked up by name" $(find . -name '*.cpp' -o -name '*.h')

[ "$breaches" = 0 ] && echo "check-layers: every layer keeps to its own"
exit $breaches
