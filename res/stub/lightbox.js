/* The album's lightbox: a click on a thumbnail shows the full image over the page with its name
   and comment; the arrow keys step through the album, Esc or a click beside the image closes it.
   Plain script, no network: it works from a folder opened straight from the disk. */
(function () {
  "use strict";

  var links = Array.prototype.slice.call(document.querySelectorAll(".thick > a"));
  var count = document.getElementById("album-count");
  if (count) {
    count.textContent = links.length === 1 ? "1 picture" : links.length + " pictures";
  }
  if (links.length === 0) {
    return;
  }

  var box = document.createElement("div");
  box.className = "lightbox";
  box.setAttribute("role", "dialog");
  box.setAttribute("aria-modal", "true");
  var grid = document.querySelector(".grid");
  box.setAttribute("aria-label", (grid && grid.getAttribute("data-album")) || document.title);

  var figure = document.createElement("figure");
  var picture = document.createElement("img");
  var caption = document.createElement("figcaption");
  figure.appendChild(picture);
  figure.appendChild(caption);

  function button(className, label, text) {
    var b = document.createElement("button");
    b.type = "button";
    b.className = className;
    b.setAttribute("aria-label", label);
    b.textContent = text;
    return b;
  }

  var closeButton = button("lightbox-close", "Close", "\u00d7");
  var prevButton = button("lightbox-prev", "Previous picture", "\u2039");
  var nextButton = button("lightbox-next", "Next picture", "\u203a");
  var counter = document.createElement("div");
  counter.className = "lightbox-counter";

  box.appendChild(figure);
  box.appendChild(counter);
  box.appendChild(prevButton);
  box.appendChild(nextButton);
  box.appendChild(closeButton);
  document.body.appendChild(box);

  var current = -1;
  var opener = null;

  // The caption is a copy of the card's own paragraph: the name in bold, the comment below.
  function fillCaption(link) {
    while (caption.firstChild) {
      caption.removeChild(caption.firstChild);
    }
    var card = link.closest(".box");
    var text = card ? card.querySelector("p") : null;
    if (text) {
      Array.prototype.forEach.call(text.childNodes, function (node) {
        caption.appendChild(node.cloneNode(true));
      });
    }
  }

  function show(index) {
    current = (index + links.length) % links.length;
    var link = links[current];
    picture.src = link.getAttribute("href");
    var name = link.closest(".box") && link.closest(".box").querySelector(".bm");
    picture.alt = name ? name.textContent : "";
    fillCaption(link);
    counter.textContent = (current + 1) + " / " + links.length;
    prevButton.hidden = nextButton.hidden = links.length < 2;
    // The neighbours load while this one is looked at.
    if (links.length > 1) {
      new Image().src = links[(current + 1) % links.length].getAttribute("href");
      new Image().src = links[(current - 1 + links.length) % links.length].getAttribute("href");
    }
  }

  function open(index) {
    opener = document.activeElement;
    show(index);
    box.classList.add("open");
    document.body.classList.add("lightbox-open");
    closeButton.focus();
  }

  function close() {
    box.classList.remove("open");
    document.body.classList.remove("lightbox-open");
    picture.removeAttribute("src");
    current = -1;
    if (opener && opener.focus) {
      opener.focus();
    }
  }

  links.forEach(function (link, index) {
    link.addEventListener("click", function (event) {
      if (event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey || event.altKey) {
        return;
      }
      event.preventDefault();
      open(index);
    });
  });

  closeButton.addEventListener("click", close);
  prevButton.addEventListener("click", function () { show(current - 1); });
  nextButton.addEventListener("click", function () { show(current + 1); });
  box.addEventListener("click", function (event) {
    if (event.target === box || event.target === figure) {
      close();
    }
  });

  document.addEventListener("keydown", function (event) {
    if (current < 0) {
      return;
    }
    switch (event.key) {
      case "Escape":
      case "Esc":
        close();
        break;
      case "ArrowLeft":
      case "Left":
        show(current - 1);
        break;
      case "ArrowRight":
      case "Right":
        show(current + 1);
        break;
      case "Home":
        show(0);
        break;
      case "End":
        show(links.length - 1);
        break;
      case "Tab":
        // Keep the focus on the lightbox's own buttons while it is open.
        var buttons = [prevButton, nextButton, closeButton].filter(function (b) { return !b.hidden; });
        var at = buttons.indexOf(document.activeElement);
        var to = event.shiftKey ? at - 1 : at + 1;
        buttons[(to + buttons.length) % buttons.length].focus();
        break;
      default:
        return;
    }
    event.preventDefault();
  });
})();
