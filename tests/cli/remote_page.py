"""The status page in a real browser (headless chromium through chromedriver) against a real
pelvano-cli run with the remote server on loopback: log in, the title follows the item on air,
❚❚ pauses the station (its log line reaches the page), a row starts from the next rows, today's
as-run file downloads, the page shows the lost station and, after its restart, asks for a login
again. Leaves screenshots at 360×740 and 1280×800 in OUT-DIR.

usage: remote_page.py PELVANO-CLI OUT-DIR
Exit 77 when chromium or chromedriver is not installed.
"""
import datetime
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

CLI, OUT = sys.argv[1], sys.argv[2]
USER, PASSWORD = "值班员", "correct horse 电池"
# (title, seconds): the first item ends soon so that the page sees the title change.
ROWS = [("晨曲", 6), ("校园新闻", 60), ("广播体操", 60), ("午间音乐", 60), ("结束曲", 60)]
PAUSE_LINE = "播放淡出暂停"
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def wait_until(what, seconds, probe):
    """Polls probe until it returns something true; fails the test with `what` on time-out."""
    end = time.monotonic() + seconds
    while True:
        try:
            got = probe()
        except Exception:  # the page may be between two renders or navigations
            got = None
        if got:
            return got
        if time.monotonic() > end:
            raise TimeoutError(f"not within {seconds} s: {what}")
        time.sleep(0.1)


def eventually(seconds, probe):
    """Whether probe turns true within the time."""
    try:
        return bool(wait_until("", seconds, probe))
    except TimeoutError:
        return False


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_station(work, port):
    station = os.path.join(work, "演示电台")  # the page's heading is the folder's name
    subprocess.run([CLI, "demo", "init", station], check=True, stdout=subprocess.DEVNULL)
    lines = ["序号\t歌曲\t歌手\t时长\t交叉|\t淡入|\t淡出|\t开播时间\t文件名\t估计播出时间"]
    for number, (title, seconds) in enumerate(ROWS, 1):
        path = os.path.join(work, f"row{number}.wav")
        subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                        f"anoisesrc=d={seconds}:c=pink:a=0.2:seed={number}", "-ac", "2", "-ar", "44100",
                        "-c:a", "pcm_s16le", path], check=True)
        length = f"00:{seconds // 60:02d}:{seconds % 60:02d}"
        lines.append(f"{number}\t{title}\t学校广播站\t{length}\t1\t0\t0\t\t{path}\t")
    tsv = os.path.join(work, "s.tsv")
    with open(tsv, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    subprocess.run([CLI, "schedule", "build", tsv, os.path.join(station, "节目表.JMB")], check=True,
                   stdout=subprocess.DEVNULL)
    # [START] is the demo's last section: no loops, then the server on loopback.
    with open(os.path.join(station, "参数设置.INI"), "ab") as f:
        f.write(b"chkSectCycle=NO\r\nchkAllCycle=NO\r\n[Remote]\r\nEnabled=YES\r\n"
                b"Bind=127.0.0.1\r\n" + f"Port={port}\r\n".encode())
    subprocess.run([CLI, "remote", "password", station, USER, PASSWORD], check=True,
                   stdout=subprocess.DEVNULL)
    return station


class Station:
    """pelvano-cli run on the WAV output, started and ended by its PID."""

    def __init__(self, work, station, port):
        self.work, self.station, self.port = work, station, port
        self.process = None
        self.log_path = os.path.join(work, "run.log")

    def start(self):
        env = dict(os.environ, PELVANO_OUTPUT="wav:" + os.path.join(self.work, "heard.wav"))
        with open(self.log_path, "ab") as log:
            self.process = subprocess.Popen([CLI, "run", self.station], stdout=log, stderr=subprocess.STDOUT,
                                            env=env)
        wait_until("the server listens", 15, self.listening)

    def listening(self):
        if self.process.poll() is not None:
            raise SystemExit(f"pelvano-cli run ended with {self.process.returncode}:\n{self.log()}")
        with socket.socket() as s:
            return s.connect_ex(("127.0.0.1", self.port)) == 0

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()


def browser(downloads):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--no-first-run", "--disable-extensions", "--proxy-server=direct://"):
        options.add_argument(argument)
    options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                              "download.prompt_for_download": False})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    return driver


def viewport(driver, width, height):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 600})


def text_of(driver, element_id):
    return driver.find_element("id", element_id).text


def next_rows(driver):
    return [tr.get_attribute("data-row") for tr in driver.find_elements("css selector", "#next-rows tr")]


def online(driver):
    return driver.find_element("id", "link").get_attribute("data-state") == "online"


def log_lines(driver):
    return [li.text for li in driver.find_elements("css selector", "#log li")]


def submit_login(driver, password):
    wait_until("the login form", 10, lambda: driver.find_elements("name", "password"))
    driver.find_element("name", "user").send_keys(USER)
    driver.find_element("name", "password").send_keys(password)
    driver.find_element("name", "password").submit()


def log_in(driver, base):
    driver.get(base + "/")
    submit_login(driver, PASSWORD)
    wait_until("the page connected after the login", 10, lambda: online(driver))


def exercise(driver, base, station, work):
    driver.get(base + "/")
    submit_login(driver, "wrong " + PASSWORD)
    check(eventually(5, lambda: driver.find_element("id", "failed").is_displayed()),
          "a wrong password shows its message on the login page")
    viewport(driver, 360, 740)
    driver.save_screenshot(os.path.join(OUT, "remote-login.png"))
    log_in(driver, base)
    check(text_of(driver, "title") in {ROWS[0][0], ROWS[1][0]}, "the item on air is shown after the login")
    check(eventually(20, lambda: text_of(driver, "title") == ROWS[1][0]), "the title follows the item on air")
    check(text_of(driver, "artist") == "学校广播站", "the artist is shown")
    check(eventually(5, lambda: next_rows(driver)[:3] == ["3", "4", "5"]),
          f"the next rows follow the one on air: {next_rows(driver)}")
    levels = wait_until("the level meters move", 10,
                        lambda: text_of(driver, "db-left") not in ("", "-∞") and text_of(driver, "db-left"))
    check(-60 < float(levels) < 0, f"the left level is a level of the noise: {levels} dB")

    first = text_of(driver, "elapsed")
    check(eventually(3, lambda: text_of(driver, "elapsed") > first), "the elapsed time runs while playing")

    driver.find_element("id", "pause").click()
    wait_until("the pause's log line on the page", 10,
               lambda: any(PAUSE_LINE in line for line in log_lines(driver)))
    check(PAUSE_LINE in station.log(), "the station logged the pause")
    check(eventually(10, lambda: text_of(driver, "state") == "暂停"), "the page shows the station paused")
    held = text_of(driver, "elapsed")
    time.sleep(1.5)
    check(text_of(driver, "elapsed") == held, f"the elapsed time stands while paused: {held}")

    driver.find_element("css selector", '#next-rows tr[data-row="4"] button.start').click()
    check(eventually(15, lambda: text_of(driver, "title") == ROWS[3][0]), "a row started from the next rows is on air")

    today = datetime.date.today().isoformat()
    link = wait_until("today's as-run link", 10,
                      lambda: driver.find_element("css selector", f'#asrun-days a[href$="{today}.csv"]'))
    link.click()
    downloads = os.path.join(work, "downloads")
    got = wait_until("the downloaded as-run file", 15, lambda: [
        n for n in os.listdir(downloads) if n.endswith(".csv") and not n.endswith(".crdownload")])
    with open(os.path.join(downloads, got[0]), "rb") as f:
        downloaded = f.read()
    with open(os.path.join(station.station, "History", today + ".asrun.csv"), "rb") as f:
        on_disk = f.read()
    check(downloaded and on_disk.startswith(downloaded), "the download is today's as-run file")
    check(f",{ROWS[0][0]},".encode() in downloaded, "the as-run file lists the first item")

    for name, width, height in (("remote-phone.png", 360, 740), ("remote-desktop.png", 1280, 800)):
        viewport(driver, width, height)
        time.sleep(1.0)
        driver.save_screenshot(os.path.join(OUT, name))
        overflow = driver.execute_script(
            "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
        check(overflow <= 0, f"nothing sticks out sideways at {width} px ({overflow} px)")

    station.stop()
    check(eventually(15, lambda: driver.find_element("id", "link").get_attribute("data-state") == "offline"),
          "the page shows the lost connection")
    # A new run knows no session of the old one: the page asks for a login and carries on.
    station.start()
    wait_until("the page back after the restart", 30,
               lambda: driver.find_elements("name", "password") or online(driver))
    if driver.find_elements("name", "password"):
        log_in(driver, base)
    check(eventually(10, lambda: online(driver) and text_of(driver, "title") != "播出：无"),
          "the page carries on with the station's new run")

    errors = [e["message"] for e in driver.get_log("browser")
              if e["level"] == "SEVERE" and e.get("source") in ("javascript", "console-api")]
    check(not errors, f"no script errors in the page: {errors}")


def main():
    if not shutil.which("chromium") or not shutil.which("chromedriver"):
        print("chromium or chromedriver is not installed")
        return 77
    os.makedirs(OUT, exist_ok=True)
    work = tempfile.mkdtemp(prefix="pelvano-remote-page-")
    port = free_port()
    station = Station(work, make_station(work, port), port)
    os.makedirs(os.path.join(work, "downloads"))
    driver = None
    try:
        station.start()
        driver = browser(os.path.join(work, "downloads"))
        exercise(driver, f"http://127.0.0.1:{port}", station, work)
    except TimeoutError as e:
        check(False, str(e))
        if driver:
            driver.save_screenshot(os.path.join(OUT, "remote-failure.png"))
            print("page log:", log_lines(driver))
    finally:
        if driver:
            driver.quit()
        station.stop()
    if failures:
        print(station.log())
    else:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
